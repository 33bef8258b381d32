#include "stationremote.h"

#include "looksbar.h"

#include <lookrecall.h>

StationRemote::StationRemote(LooksBar *looks, QObject *parent)
    : RemoteStation(parent)
    , m_looks(looks)
{
    connect(looks, &LooksBar::recalled, this, [this](const LookRecall *recall, int origin) {
        emit lookRecalled(recall->look().name, origin, results(recall));
    });
}

void StationRemote::setProcessors(const QList<RemoteActions *> &processors, const QStringList &names)
{
    m_processors = processors;
    m_names = names;
}

QList<RemoteStation::Look> StationRemote::looks() const
{
    QList<Look> looks;
    for (const ::Look &look : m_looks->looks()) {
        Look remote{look.name, {}};
        for (const ::Look::Entry &entry : look.entries)
            remote.entries.append({entry.processor, entry.preset});
        looks.append(remote);
    }
    return looks;
}

void StationRemote::recallLook(int look, const Recalled &done)
{
    LookRecall *recall = m_looks->recall(look, RemoteActions::ByRemote);
    recall->whenFinished(this, [recall, done] { done(results(recall)); });
}

QString StationRemote::storeLook(const Look &look)
{
    if (look.entries.isEmpty())
        return m_looks->store(look.name);
    ::Look kept{look.name, {}};
    for (const Entry &entry : look.entries)
        kept.entries.append({entry.processor, entry.preset});
    return m_looks->keep(kept);
}

QList<RemoteStation::Result> StationRemote::results(const LookRecall *recall)
{
    QList<Result> results;
    const QList<LookRecall::Outcome> outcomes = recall->outcomes();
    for (const LookRecall::Outcome &outcome : outcomes)
        results.append({outcome.processor, outcome.preset, LookRecall::resultName(outcome.result)});
    return results;
}
