#ifndef BYTEPACER_H
#define BYTEPACER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// Lets bytes through no faster than a serial line at the given baud rate
// carries them: 8N1, ten bits a byte. A byte is released only once the
// line would have carried it completely. At baud rate 0 bytes pass at once.
class BytePacer : public QObject
{
    Q_OBJECT

public:
    explicit BytePacer(QObject *parent = nullptr);

    void setBaudRate(int baud);
    void push(const QByteArray &bytes);
    bool isIdle() const { return m_queue.isEmpty(); }

signals:
    void released(const QByteArray &bytes);
    void drained();

private:
    void releaseDue();

    QByteArray m_queue;
    qint64 m_byteNs = 0;
    qint64 m_lineFreeNs = 0; // when the line has carried everything released so far
    QElapsedTimer m_clock;
    QTimer m_timer;
};

#endif // BYTEPACER_H
