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
    };

    explicit RequestQueue(QObject *parent = nullptr);

    void setQuietGap(int ms) { m_quietGapMs = ms; }

    bool isEmpty() const { return m_requests.isEmpty(); }
    int size() const { return m_requests.size(); }
    bool isInFlight() const { return m_state == State::InFlight; }
    // The frame whose reply is awaited; valid while isInFlight().
    const QByteArray &inFlight() const { return m_requests.constFirst().frame; }

    void append(const QList<Request> &requests);
    // Sends the head unless it is already under way.
    void start();
    // The reply to the head was taken: the next request goes out.
    void replyTaken();
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

private:
    enum class State { Idle, Quieting, InFlight };

    void sendHead();
    void transmitHead();

    QList<Request> m_requests;
    State m_state = State::Idle;
    int m_attempts = 0;
    bool m_quietFirst = false;
    int m_quietGapMs = 20;
    QTimer m_replyTimer{this}; // children, so that they move with the queue
    QTimer m_quietTimer{this};
    QElapsedTimer m_quietSince;
};

#endif // REQUESTQUEUE_H
