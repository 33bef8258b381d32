#ifndef REQUESTQUEUE_H
#define REQUESTQUEUE_H

#include "answertimer.h"
#include "replyshape.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QTimer>

// The requests waiting for the device, sent one at a time: the head is in
// flight until a reply that answers it is taken.
//
// An attempt waits for its reply as long as the device's measured answer
// time allows (AnswerTimer), at least a second, longer for the commands the
// device carries out slowly; a request is sent again at most twice, and
// given up once its own time-out has passed since its first attempt, or
// once the budget of its batch has passed since the batch's first request
// went, the last attempt waiting for whatever is left. A request the device
// may act on twice is sent once.
//
// Acknowledgements do not say what they acknowledge, so after a request
// that went more than once, and after one given up, the line is kept quiet
// before the next request goes out: what arrives is thrown away until every
// answer still owed has come or the time the device may take for it has
// passed, and the line has then been silent for a moment. After a resend,
// each attempt left unanswered is owed as long again as the answer taken
// took, the device answering in turn. A late answer is thus never taken for
// the reply to another request.
//
// It also counts the exchanges and bytes of each posted command, its
// follow-ups included, for a page that shows how far a long transfer has
// come.
class RequestQueue : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxAttempts = 3;
    static constexpr int MinReplyWaitMs = 1000;

    struct Request
    {
        QByteArray frame;
        ReplyShape reply;   // what answers it
        int timeoutMs = 0;  // the request's own time-out
        int batch = 0;      // the requests that share one budget
        int budgetMs = 0;   // the batch's, from its first request on; 0: none
        int slowMs = 0;     // the device acts slowly on it: no resend before this
        bool resend = true; // false when the device may act on it twice
        int wireMs = 0;     // the time the frame and its reply take on the wire
        // Losing it leaves the host's copy of the device's data in doubt.
        bool dataAtStake = false;
        int command = 0; // the command type it was posted for
        int post = 0;    // the posting it belongs to, follow-ups included
        // A write whose acknowledgement was lost, settled by this read.
        QByteArray settles;
        bool background = false; // LinkRequest::background
    };

    explicit RequestQueue(QObject *parent = nullptr);

    void setQuietGap(int ms) { m_quietGapMs = ms; }
    // A new link: nothing owed, nothing measured.
    void reset();

    bool isEmpty() const { return m_requests.isEmpty(); }
    int size() const { return m_requests.size(); }
    // The requests queued that are not the program's own.
    int foregroundSize() const;
    bool isInFlight() const { return m_state == State::InFlight; }
    // The request whose reply is awaited; valid while isInFlight().
    const Request &inFlight() const { return m_requests.constFirst(); }
    // The first request queued, also one just given up; valid unless empty.
    const Request &head() const { return m_requests.constFirst(); }
    // True while the line is kept quiet: replies are late answers to an
    // earlier request.
    bool isQuieting() const { return m_owed > 0; }
    // The reply awaited: the head's, or while quieting the earlier
    // request's; null when none is.
    const ReplyShape *awaited() const;

    void append(const QList<Request> &requests);
    // Sends the head unless it is under way or the line is kept quiet.
    void start();
    // The reply to the head was taken: the next request goes out.
    void replyTaken(int replySize);
    // The reply to the head was taken, but what it says ends the work: the
    // head is done and nothing more goes out; the caller drops the rest.
    void replyEnds(int replySize);
    // The head, just given up, is settled by another request in its place.
    void replaceHead(const Request &request);
    // The head, just given up, leaves the queue unanswered; the rest goes on.
    void dropHead();
    // The attempt in flight failed: a reply it cannot take.
    void expireAttempt();
    // Bytes arrived while quieting; a whole reply among them is counted
    // when it has the shape of the answers owed.
    void lineBusy();
    void lateReply(const QByteArray &reply);
    // Drops every request, each posting ended unanswered; what was in
    // flight may still be answered.
    QList<Request> takeAll();

signals:
    // Write this frame to the device.
    void transmit(const QByteArray &frame);
    // The head got no reply it could take in its time.
    void gaveUp(int command);
    // The last request was answered.
    void drained();
    // Requests were queued or taken off the queue (answered or dropped).
    void sizeChanged(int size);
    // The last request of the posting left the queue: answered, or not.
    void postEnded(int post, bool answered);
    // How far the posted command has come, after each of its replies when
    // it has more than one exchange.
    void progress(int command, int framesDone, int framesTotal, qint64 bytesDone, qint64 bytesTotal);

private:
    enum class State { Idle, Quieting, InFlight };

    void sendHead();
    void transmitHead();
    void takeHead(int replySize, bool answered);
    int timeLeftMs() const;
    int attemptWaitMs() const;
    int usualWaitMs(const Request &request) const;
    int answerWindowMs(const Request &request) const;
    // The answers stay owed for windowMs from now.
    void owe(const Request &request, int answers, int windowMs);
    void checkQuiet();
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
    QElapsedTimer m_firstSent;
    QElapsedTimer m_lastSent;
    int m_batch = -1;
    QElapsedTimer m_batchSent; // since the batch's first request went
    AnswerTimer m_answers;

    // Answers still owed by the device to an earlier request.
    int m_owed = 0;
    ReplyShape m_owedShape;
    QElapsedTimer m_owedSince;
    int m_owedWindowMs = 0;
    QElapsedTimer m_lastByte;
    int m_quietGapMs = 20;

    QTimer m_replyTimer{this}; // children, so that they move with the queue
    QTimer m_quietTimer{this};
};

#endif // REQUESTQUEUE_H
