#ifndef RECONNECTOR_H
#define RECONNECTOR_H

#include <QObject>
#include <QTimer>

class Singleton_SerialPort;

// Tries a link that dropped again, by itself: after 1, 2, 4, 8 and 16 s,
// then every 30 s, until the link is back, the operator connects or
// disconnects by hand, stops it, or switches reconnection off. An attempt
// that fails says nothing. It is active while the link's state is
// Reconnecting.
class Reconnector : public QObject
{
    Q_OBJECT

public:
    explicit Reconnector(Singleton_SerialPort *link, QObject *parent = nullptr);

    // The link dropped: the first attempt follows in a second.
    void start();
    // The link closes; an attempt under way is closed too.
    void stop();
    bool isActive() const;
    // An attempt is under way; its outcome is still to come.
    bool isTrying() const { return m_trying; }
    // The attempt under way or next, counted from 1.
    int attempt() const { return m_attempt; }
    int secondsLeft() const { return m_secondsLeft; }

    // The operator connects: the attempt under way is theirs, no other
    // follows.
    void handOver();

signals:
    void changed();

private:
    void tick();
    void wait();
    void attemptEnded(bool linked);
    void stateChanged();

    Singleton_SerialPort *m_link;
    QTimer m_ticker;
    bool m_trying = false;
    int m_attempt = 0;
    int m_secondsLeft = 0;
};

#endif // RECONNECTOR_H
