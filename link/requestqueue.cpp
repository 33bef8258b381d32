#include "requestqueue.h"

#include "linklog.h"

#include <utility>

namespace {

// A line that never falls quiet (a device stuck sending) must not hold the
// queue forever: after this long the next frame goes out anyway.
constexpr int MaxQuietWaitMs = 1000;

} // namespace

RequestQueue::RequestQueue(QObject *parent)
    : QObject(parent)
{
    m_replyTimer.setSingleShot(true);
    m_quietTimer.setSingleShot(true);
    connect(&m_replyTimer, &QTimer::timeout, this, &RequestQueue::expireAttempt);
    connect(&m_quietTimer, &QTimer::timeout, this, &RequestQueue::transmitHead);
}

void RequestQueue::append(const QList<Request> &requests)
{
    m_requests.append(requests);
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
            bytes += request.frame.size() + request.replySize;
        }
    }
    if (frames > 1)
        emit progress(done.command, m_done.frames, frames, m_done.bytes, bytes);
}

void RequestQueue::replyTaken(int replySize)
{
    if (m_state != State::InFlight)
        return;
    m_replyTimer.stop();
    m_quietFirst = m_attempts > 1; // the device may still answer an earlier attempt
    const Request done = m_requests.takeFirst();
    m_attempts = 0;
    m_state = State::Idle;
    emit activity();
    countDone(done, replySize);
    if (m_requests.isEmpty())
        emit drained();
    else
        sendHead();
}

void RequestQueue::expireAttempt()
{
    if (m_state != State::InFlight)
        return;
    m_replyTimer.stop();
    if (m_attempts >= MaxAttempts) {
        qCWarning(lcLink).nospace() << "no reply to request 0x" << Qt::hex
                                    << quint8(inFlight().frame.at(8)) << " after " << Qt::dec
                                    << m_attempts << " attempts";
        m_state = State::Idle;
        emit gaveUp();
        return;
    }
    qCWarning(lcLink).nospace() << "no usable reply to request 0x" << Qt::hex
                                << quint8(inFlight().frame.at(8)) << ", sending it again (attempt "
                                << Qt::dec << m_attempts + 1 << " of " << MaxAttempts << ")";
    m_quietFirst = true;
    sendHead();
}

bool RequestQueue::discardsInput()
{
    if (m_state != State::Quieting)
        return false;
    if (m_quietSince.elapsed() < MaxQuietWaitMs)
        m_quietTimer.start(m_quietGapMs);
    return true;
}

QList<RequestQueue::Request> RequestQueue::takeAll()
{
    m_replyTimer.stop();
    m_quietTimer.stop();
    // A reply to a dropped request may still be on its way.
    m_quietFirst = m_state != State::Idle;
    m_state = State::Idle;
    m_attempts = 0;
    return std::exchange(m_requests, {});
}

void RequestQueue::sendHead()
{
    if (!m_quietFirst) {
        transmitHead();
        return;
    }
    m_state = State::Quieting;
    m_quietSince.start();
    m_quietTimer.start(m_quietGapMs);
}

void RequestQueue::transmitHead()
{
    m_quietFirst = false;
    m_state = State::InFlight;
    ++m_attempts;
    const Request head = m_requests.constFirst(); // the writer may drop the queue
    if (head.replyWaitMs > 0)
        m_replyTimer.start(head.replyWaitMs);
    emit activity();
    emit transmit(head.frame);
}
