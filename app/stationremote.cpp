#include "stationremote.h"

#include "journalrecorder.h"
#include "looksbar.h"
#include "stationshow.h"

#include <journal.h>
#include <sequencedeck.h>

#include <lookrecall.h>

namespace {

RemoteStation::SequenceStatus statusOf(const SequenceDeck::Status &status)
{
    using State = RemoteStation::SequenceState;
    const State state = status.state == SequencePlayer::State::Playing ? State::Playing
        : status.state == SequencePlayer::State::Paused                ? State::Paused
                                                                        : State::Stopped;
    return {status.name, state, status.step, status.stepCount, double(status.timeLeftMs) / 1000, status.loop};
}

} // namespace

StationRemote::StationRemote(LooksBar *looks, StationShow *show, JournalRecorder *journal, QObject *parent)
    : RemoteStation(parent)
    , m_looks(looks)
    , m_show(show)
    , m_journal(journal)
{
    connect(show->deck(), &SequenceDeck::changed, this, [this](const QString &name) {
        if (const std::optional<SequenceDeck::Status> status = m_show->deck()->status(name))
            emit sequenceChanged(statusOf(*status));
    });
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

void StationRemote::recallLook(int look, const QString &caller, const Recalled &done)
{
    LookRecall *recall = m_looks->recall(look, RemoteActions::ByRemote, caller);
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

QList<RemoteStation::SequenceStatus> StationRemote::sequences() const
{
    QList<SequenceStatus> statuses;
    for (const SequenceDeck::Status &status : m_show->deck()->statuses())
        statuses << statusOf(status);
    return statuses;
}

QString StationRemote::storeSequence(const QJsonObject &definition)
{
    QString why;
    const std::optional<Sequence> sequence = Sequence::fromJson(definition, &why);
    return sequence ? m_show->storeSequence(*sequence) : why;
}

QString StationRemote::controlSequence(int sequence, SequenceCommand command)
{
    SequenceDeck *deck = m_show->deck();
    const QString name = deck->sequences().value(sequence).name;
    switch (command) {
    case SequenceCommand::Start:
        return deck->start(name);
    case SequenceCommand::Pause:
        return deck->pause(name);
    case SequenceCommand::Resume:
        return deck->resume(name);
    case SequenceCommand::Stop:
        return deck->stop(name);
    }
    return {};
}

// The station's own entries are asked of every processor's and picked.
QList<RemoteStation::JournalEntry> StationRemote::queryJournal(const JournalFilter &filter) const
{
    JournalQuery query;
    const bool stationOnly = filter.processor == JournalFilter::Station;
    query.processor = filter.processor && !stationOnly ? *filter.processor + 1 : 0;
    query.who = ::JournalEntry::whoFromKey(filter.who);
    query.whoText = filter.by;
    query.kind = filter.kind;
    query.from = filter.from;
    query.to = filter.to;
    query.limit = filter.limit;
    QList<JournalEntry> entries;
    for (const ::JournalEntry &entry : m_journal->journal()->query(query)) {
        if (stationOnly && entry.processor != 0)
            continue;
        entries.append({entry.id, entry.time, ::JournalEntry::key(entry.who), entry.whoDetail,
                        entry.processor - 1, entry.processorName, entry.kind, entry.what,
                        ::JournalEntry::key(entry.result), entry.detail});
    }
    return entries;
}
