#ifndef REQUESTPLANNER_H
#define REQUESTPLANNER_H

#include "requestqueue.h"

#include <QByteArray>
#include <QList>

class LinkTransport;

// Turns the frames of a posted command into the requests the queue sends:
// what answers each, how long each may wait and whether it may go again,
// and the budget it shares with the rest of its batch. A request posted on
// its own is a batch of its own, with its time-out as budget; the requests
// posted as one batch share the budget their caller gave it.
class RequestPlanner
{
public:
    explicit RequestPlanner(const LinkTransport &transport);

    // What is posted next belongs to a new batch with this budget.
    void beginBatch(int budgetMs);
    // post: the number the posting got from its caller.
    QList<RequestQueue::Request> posted(int type, int post, const QList<QByteArray> &frames,
                                        bool background = false) const;
    // Requests that belong to the posting and the batch of an earlier one.
    QList<RequestQueue::Request> following(const RequestQueue::Request &earlier, int type,
                                           const QList<QByteArray> &frames) const;

private:
    const LinkTransport &m_transport;
    int m_batches = 0; // batches begun so far
    int m_budgetMs = 0; // the batch's
};

#endif // REQUESTPLANNER_H
