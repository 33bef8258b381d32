#ifndef REQUESTPLANNER_H
#define REQUESTPLANNER_H

#include "commandbuilder.h"
#include "requestqueue.h"

#include <QByteArray>
#include <QList>

class LinkTransport;

// Turns the frames of a posted command into the requests the queue sends:
// what answers each, how long each may wait and whether it may go again,
// and the budget it shares with the rest of its batch. A command posted on
// its own is a batch of its own, with the time-out its caller announced as
// budget; the commands queued for one batch share the first one's.
class RequestPlanner
{
public:
    explicit RequestPlanner(const LinkTransport &transport);

    QList<RequestQueue::Request> posted(int type, const CommandBuilder::Staging &staging,
                                        const QList<QByteArray> &frames);
    // The batch being queued is complete: what is posted next starts another.
    void endBatch() { m_batching = false; }
    // Requests that belong to the posting and the batch of an earlier one.
    QList<RequestQueue::Request> following(const RequestQueue::Request &earlier, int type,
                                           const QList<QByteArray> &frames) const;

private:
    const LinkTransport &m_transport;
    int m_posts = 0;   // commands queued so far
    int m_batches = 0; // batches begun so far
    bool m_batching = false;
    int m_budgetMs = 0; // the batch's
};

#endif // REQUESTPLANNER_H
