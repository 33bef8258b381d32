#ifndef LINKREPLY_H
#define LINKREPLY_H

#include <QObject>

// What became of a posted request or batch, as QModbusReply tells of a
// Modbus request: finished() once every request of it has been answered,
// refused or given up. It is deleted later, once finished() has been
// emitted: callers connect to finished() and read error() there.
class LinkReply : public QObject
{
    Q_OBJECT

public:
    enum Error {
        NoError,
        NotSent,    // nothing to send: a preset or entry out of range
        Unanswered, // given up, dropped with the queue, or no link
    };
    Q_ENUM(Error)

    explicit LinkReply(int requests, QObject *parent = nullptr);

    bool isFinished() const { return m_pending == 0; }
    // The first error among its requests.
    Error error() const { return m_error; }

    // The link's: one of its requests has ended.
    void requestEnded(Error error);

signals:
    void finished();

private:
    int m_pending;
    Error m_error = NoError;
};

#endif // LINKREPLY_H
