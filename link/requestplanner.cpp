#include "requestplanner.h"

#include "framebuilder.h"
#include "linktransport.h"
#include "replyshape.h"

RequestPlanner::RequestPlanner(const LinkTransport &transport)
    : m_transport(transport)
{
}

QList<RequestQueue::Request> RequestPlanner::posted(int type, const CommandBuilder::Staging &staging,
                                                    const QList<QByteArray> &frames)
{
    if (!staging.batching || !m_batching) {
        ++m_batches;
        m_budgetMs = staging.timeoutMs;
    }
    m_batching = staging.batching;
    RequestQueue::Request posting;
    posting.post = ++m_posts;
    posting.batch = m_batches;
    posting.budgetMs = m_budgetMs;
    return following(posting, type, frames);
}

// Each frame waits as long as the device needs for it, and what it takes on
// the wire. A verify only reads: losing its frames puts nothing of the
// host's in doubt.
QList<RequestQueue::Request> RequestPlanner::following(const RequestQueue::Request &earlier, int type,
                                                       const QList<QByteArray> &frames) const
{
    QList<RequestQueue::Request> requests;
    for (const QByteArray &frame : frames) {
        RequestQueue::Request request;
        request.frame = frame;
        request.reply = ReplyShape::of(frame);
        request.wireMs = m_transport.wireMs(int(frame.size()) + request.reply.length());
        request.timeoutMs = CommandBuilder::frameTimeoutMs(type) + request.wireMs;
        request.batch = earlier.batch;
        request.budgetMs = earlier.budgetMs;
        request.slowMs = CommandBuilder::actingTimeMs(type);
        request.resend = !CommandBuilder::sentOnce(type);
        request.dataAtStake = type != Command::VerifyRead && FrameBuilder::concernsHostData(frame);
        request.command = type;
        request.post = earlier.post;
        requests.append(request);
    }
    return requests;
}
