#include "requestqueue.h"

#include "linklog.h"

#include <protocol.h>

#include <QSet>

#include <algorithm>
#include <utility>

namespace {

// A line that never falls quiet (a device stuck sending) must not hold the
// queue forever: this long after the answers owed were due, the next
// request goes out anyway.
constexpr int MaxQuietWaitMs = 1000;

quint8 codeOf(const QByteArray &frame)
{
    return quint8(frame.at(Protocol::CodeOffset));
}

} // namespace

RequestQueue::RequestQueue(QObject *parent)
    : QObject(parent)
{
    m_replyTimer.setSingleShot(true);
    m_quietTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &RequestQueue::expireAttempt);
    connect(&m_quietTimer, &QTimer::timeout, this, &RequestQueue::checkQuiet);
}

void RequestQueue::reset()
{
    m_replyTimer.stop();
    m_quietTimer.stop();
    m_state = State::Idle;
    m_attempts = 0;
    m_batch = -1;
    m_owed = 0;
    m_answers.reset();
}

const ReplyShape *RequestQueue::awaited() const
{
    if (m_state == State::InFlight)
        return &inFlight().reply;
    return m_owed > 0 ? &m_owedShape : nullptr;
}

void RequestQueue::append(const QList<Request> &requests)
{
    m_requests.append(requests);
    emit sizeChanged(size());
}

void RequestQueue::start()
{
    if (m_state == State::Idle && !m_requests.isEmpty())
        sendHead();
}

// Adds the exchange to its command's count and tells how far the command
// is; what is still queued for it makes the rest.
void RequestQueue::countDone(const Request &done, int replySize)
{
    if (m_done.post != done.post)
        m_done = {done.post, 0, 0};
    ++m_done.frames;
    m_done.bytes += done.frame.size() + replySize;
    int frames = m_done.frames;
    qint64 bytes = m_done.bytes;
    for (const Request &request : std::as_const(m_requests)) {
        if (request.post == done.post) {
            ++frames;
            bytes += request.frame.size() + request.reply.length();
        }
    }
    if (frames > 1)
        emit progress(done.command, m_done.frames, frames, m_done.bytes, bytes);
}

void RequestQueue::replyTaken(int replySize)
{
    if (m_state != State::InFlight)
        return;
    takeHead(replySize, true);
    if (m_requests.isEmpty())
        emit drained();
    else
        sendHead();
}

void RequestQueue::replyEnds(int replySize)
{
    if (m_state == State::InFlight)
        takeHead(replySize, false);
}

int RequestQueue::foregroundSize() const
{
    return int(std::count_if(m_requests.cbegin(), m_requests.cend(),
                             [](const Request &request) { return !request.background; }));
}

void RequestQueue::dropHead()
{
    if (m_state == State::InFlight || m_requests.isEmpty())
        return;
    const Request dropped = m_requests.takeFirst();
    emit sizeChanged(size());
    const bool more = std::any_of(m_requests.cbegin(), m_requests.cend(),
                                  [&dropped](const Request &request) { return request.post == dropped.post; });
    if (!more)
        emit postEnded(dropped.post, false);
    if (m_requests.isEmpty())
        emit drained();
    else
        sendHead();
}

void RequestQueue::replaceHead(const Request &request)
{
    if (m_state == State::InFlight || m_requests.isEmpty())
        return;
    m_requests.first() = request;
    sendHead();
}

// Only an answer to a request sent once measures the device: the answer to
// a resent one may be the earlier attempt's, and the later ones' are owed.
// It may have taken as long as since the first attempt went; the device
// answers in turn, so each answer owed may take as long again after it,
// and then as long as an attempt waits.
void RequestQueue::takeHead(int replySize, bool answered)
{
    m_replyTimer.stop();
    const Request done = m_requests.takeFirst();
    emit sizeChanged(size());
    const int owed = m_attempts - 1;
    if (owed == 0)
        m_answers.measured(int(m_lastSent.elapsed()) - done.wireMs);
    else
        owe(done, owed, owed * int(m_firstSent.elapsed()) + usualWaitMs(done));
    m_attempts = 0;
    m_state = State::Idle;
    countDone(done, replySize);
    const bool more = std::any_of(m_requests.cbegin(), m_requests.cend(),
                                  [&done](const Request &request) { return request.post == done.post; });
    if (!more)
        emit postEnded(done.post, answered);
}

void RequestQueue::expireAttempt()
{
    if (m_state != State::InFlight)
        return;
    m_replyTimer.stop();
    m_answers.missed();
    const Request &head = inFlight();
    if (head.resend && m_attempts < MaxAttempts && timeLeftMs() >= MinReplyWaitMs) {
        qCWarning(lcLink).nospace() << "no reply to request 0x" << Qt::hex << codeOf(head.frame)
                                    << ", sending it again (attempt " << Qt::dec << m_attempts + 1
                                    << " of " << MaxAttempts << ")";
        transmitHead();
        return;
    }
    qCWarning(lcLink).nospace() << "no reply to request 0x" << Qt::hex << codeOf(head.frame) << " after "
                                << Qt::dec << m_attempts << " attempt(s) in " << m_firstSent.elapsed()
                                << " ms; given up";
    m_state = State::Idle;
    owe(head, std::exchange(m_attempts, 0), answerWindowMs(head));
    emit gaveUp(head.command);
}

void RequestQueue::lineBusy()
{
    m_lastByte.start();
}

void RequestQueue::lateReply(const QByteArray &reply)
{
    if (m_owed == 0 || !m_owedShape.matches(reply))
        return;
    if (--m_owed == 0)
        checkQuiet();
}

QList<RequestQueue::Request> RequestQueue::takeAll()
{
    m_replyTimer.stop();
    if (m_state == State::InFlight)
        owe(inFlight(), m_attempts, answerWindowMs(inFlight()));
    m_state = State::Idle;
    m_attempts = 0;
    const QList<Request> dropped = std::exchange(m_requests, {});
    emit sizeChanged(0);
    QSet<int> ended;
    for (const Request &request : dropped) {
        if (!ended.contains(request.post))
            emit postEnded(request.post, false);
        ended.insert(request.post);
    }
    return dropped;
}

void RequestQueue::sendHead()
{
    if (m_owed == 0) {
        transmitHead();
        return;
    }
    m_state = State::Quieting;
    checkQuiet();
}

void RequestQueue::transmitHead()
{
    m_quietTimer.stop();
    m_state = State::InFlight;
    const Request &head = m_requests.constFirst();
    if (++m_attempts == 1)
        m_firstSent.start();
    if (head.batch != m_batch) {
        m_batch = head.batch;
        m_batchSent.start();
    }
    m_lastSent.start();
    const QByteArray frame = head.frame; // the writer may drop the queue
    m_replyTimer.start(attemptWaitMs());
    emit transmit(frame);
}

// What is left of the head's own time-out and of its batch's budget.
int RequestQueue::timeLeftMs() const
{
    const Request &head = inFlight();
    qint64 left = qMax(head.timeoutMs, MinReplyWaitMs) - m_firstSent.elapsed();
    if (head.budgetMs > 0)
        left = qMin(left, qMax(head.budgetMs, MinReplyWaitMs) - m_batchSent.elapsed());
    return int(qMax<qint64>(0, left));
}

// The last attempt waits for whatever time is left; the others as long as
// the device's answer time allows.
int RequestQueue::attemptWaitMs() const
{
    const Request &head = inFlight();
    const int left = timeLeftMs();
    if (!head.resend || m_attempts >= MaxAttempts)
        return left;
    return qMin(qMax(usualWaitMs(head), head.slowMs), left);
}

// As long as the device's answer time allows, at least a second.
int RequestQueue::usualWaitMs(const Request &request) const
{
    return qMax(MinReplyWaitMs, request.wireMs + m_answers.allowanceMs());
}

// How long answers to the request may still come: the device's answer time
// with its back-off, never more than the command allows.
int RequestQueue::answerWindowMs(const Request &request) const
{
    return qMin(qMax(request.timeoutMs, MinReplyWaitMs),
                qMax(m_quietGapMs, request.wireMs + m_answers.allowanceMs()));
}

void RequestQueue::owe(const Request &request, int answers, int windowMs)
{
    if (answers <= 0)
        return;
    m_owed = answers;
    m_owedShape = request.reply;
    m_owedWindowMs = windowMs;
    m_owedSince.start();
    m_lastByte.start();
    checkQuiet();
}

// The line is quiet once every answer owed has come, or once they were due
// and nothing has arrived for a moment.
void RequestQueue::checkQuiet()
{
    if (m_owed > 0) {
        const qint64 overdue = m_owedSince.elapsed() - m_owedWindowMs;
        if (overdue < 0) {
            m_quietTimer.start(int(-overdue));
            return;
        }
        const qint64 silentFor = m_lastByte.elapsed();
        if (silentFor < m_quietGapMs && overdue < MaxQuietWaitMs) {
            m_quietTimer.start(int(m_quietGapMs - silentFor));
            return;
        }
        qCDebug(lcLink) << m_owed << "answer(s) owed no longer awaited";
        m_owed = 0;
    }
    m_quietTimer.stop();
    if (m_state == State::Quieting)
        transmitHead();
}
