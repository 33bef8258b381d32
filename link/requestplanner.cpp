#include "requestplanner.h"

#include "commandbuilder.h"
#include "framebuilder.h"
#include "linktransport.h"
#include "replyshape.h"

RequestPlanner::RequestPlanner(const LinkTransport &transport)
    : m_transport(transport)
{
}

void RequestPlanner::beginBatch(int budgetMs)
{
    ++m_batches;
    m_budgetMs = budgetMs;
}

QList<RequestQueue::Request> RequestPlanner::posted(int type, int post, const QList<QByteArray> &frames,
                                                    bool background) const
{
    RequestQueue::Request posting;
    posting.background = background;
    posting.post = post;
    posting.batch = m_batches;
    posting.budgetMs = m_budgetMs;
    return following(posting, type, frames);
}

// Each frame waits as long as the device needs for it, and what it takes on
// the wire. A verify only reads: losing its frames puts nothing of the
// host's in doubt. The program's own requests go once: an operator's
// command waits behind at most one attempt.
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
        request.resend = !CommandBuilder::sentOnce(type) && !earlier.background;
        request.background = earlier.background;
        request.dataAtStake = type != Command::VerifyRead && FrameBuilder::concernsHostData(frame);
        request.command = type;
        request.post = earlier.post;
        requests.append(request);
    }
    return requests;
}
