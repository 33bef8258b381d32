#ifndef REQUESTQUEUE_H
#define REQUESTQUEUE_H

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

// The requests waiting for the device, sent one at a time: the head is in
// flight until its reply is taken. A head whose reply does not come, or
// whose reply it cannot take, is sent again, at most twice; then the queue
// gives up. Before a resend, and before the request that follows a resent
// one, the line must have been quiet for a short gap: what arrives
// meanwhile is a late reply to an earlier attempt and is thrown away, so it
// is never taken for the answer to another request.
//
// It also counts the exchanges and bytes of each posted command, its
// follow-ups included, for a page that shows how far a long transfer has
// come.
class RequestQueue : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxAttempts = 3;

    struct Request
    {
        QByteArray frame;
        // How long an attempt waits for its reply; 0 leaves the judgement
        // to expireAttempt(), for requests the device takes long to carry
        // out.
        int replyWaitMs = 0;
        // Losing it leaves the host's copy of the device's data in doubt.
        bool dataAtStake = false;
        int command = 0;   // the command type it was posted for
        int post = 0;      // the posting it belongs to, follow-ups included
        int replySize = 0; // bytes its reply is expected to have
    };

    explicit RequestQueue(QObject *parent = nullptr);

    void setQuietGap(int ms) { m_quietGapMs = ms; }

    bool isEmpty() const { return m_requests.isEmpty(); }
    int size() const { return m_requests.size(); }
    bool isInFlight() const { return m_state == State::InFlight; }
    // The request whose reply is awaited; valid while isInFlight().
    const Request &inFlight() const { return m_requests.constFirst(); }

    void append(const QList<Request> &requests);
    // Sends the head unless it is already under way.
    void start();
    // The reply to the head was taken: the next request goes out.
    void replyTaken(int replySize);
    // The attempt in flight failed: no reply in time, or one it cannot take.
    void expireAttempt();
    // Bytes arrived; true when they are to be thrown away because the line
    // is being kept quiet.
    bool discardsInput();
    // Drops every request and stops waiting; returns what was dropped.
    QList<Request> takeAll();

signals:
    // Write this frame to the device.
    void transmit(const QByteArray &frame);
    // The head was sent for the last time and got no reply it could take.
    void gaveUp();
    // The last request was answered.
    void drained();
    // A frame went out or a reply was taken.
    void activity();
    // How far the posted command has come, after each of its replies when
    // it has more than one exchange.
    void progress(int command, int framesDone, int framesTotal, qint64 bytesDone, qint64 bytesTotal);

private:
    enum class State { Idle, Quieting, InFlight };

    void sendHead();
    void transmitHead();
    void countDone(const Request &done, int replySize);

    // The exchanges and bytes of one posted command answered so far.
    struct Done
    {
        int post = -1;
        int frames = 0;
        qint64 bytes = 0;
    };

    QList<Request> m_requests;
    Done m_done;
    State m_state = State::Idle;
    int m_attempts = 0;
    bool m_quietFirst = false;
    int m_quietGapMs = 20;
    QTimer m_replyTimer{this}; // children, so that they move with the queue
    QTimer m_quietTimer{this};
    QElapsedTimer m_quietSince;
};

#endif // REQUESTQUEUE_H
