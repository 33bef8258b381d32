#include "showdispatcher.h"

#include <QJsonArray>
#include <QJsonObject>

#include <cmath>

namespace {

QString stateName(RemoteStation::SequenceState state)
{
    switch (state) {
    case RemoteStation::SequenceState::Playing:
        return QStringLiteral("playing");
    case RemoteStation::SequenceState::Paused:
        return QStringLiteral("paused");
    case RemoteStation::SequenceState::Stopped:
        break;
    }
    return QStringLiteral("stopped");
}

RemoteStation::SequenceCommand commandOf(RemoteCall::Method method)
{
    switch (method) {
    case RemoteCall::SequencePause:
        return RemoteStation::SequenceCommand::Pause;
    case RemoteCall::SequenceResume:
        return RemoteStation::SequenceCommand::Resume;
    case RemoteCall::SequenceStop:
        return RemoteStation::SequenceCommand::Stop;
    default:
        return RemoteStation::SequenceCommand::Start;
    }
}

RemoteAnswer answered(const QJsonValue &result)
{
    return {result, 0, QString()};
}

} // namespace

ShowDispatcher::ShowDispatcher(RemoteStation *station)
    : m_station(station)
{
}

QJsonValue ShowDispatcher::sequenceJson(const RemoteStation::SequenceStatus &status)
{
    const bool stopped = status.state == RemoteStation::SequenceState::Stopped;
    return QJsonObject{{QStringLiteral("name"), status.name},
                       {QStringLiteral("state"), stateName(status.state)},
                       {QStringLiteral("step"), stopped ? 0 : status.step + 1},
                       {QStringLiteral("steps"), status.steps},
                       {QStringLiteral("timeLeft"), std::round(status.timeLeft * 10) / 10},
                       {QStringLiteral("loop"), status.loop}};
}

RemoteAnswer ShowDispatcher::sequencesList() const
{
    QJsonArray list;
    const QList<RemoteStation::SequenceStatus> sequences = m_station->sequences();
    for (const RemoteStation::SequenceStatus &status : sequences)
        list.append(sequenceJson(status));
    return answered(list);
}

// The station judges the definition; its reason goes back as it gave it.
RemoteAnswer ShowDispatcher::store(const RemoteCall &call)
{
    const QString reason = m_station->storeSequence(call.definition);
    if (!reason.isEmpty())
        return RemoteAnswer::failed(RemoteError::InvalidParams, reason);
    return answered(QJsonObject{{QStringLiteral("sequence"), call.definition.value(QStringLiteral("name"))}});
}

// Answered with the sequence as it is after the command.
RemoteAnswer ShowDispatcher::control(const RemoteCall &call)
{
    QStringList names;
    const QList<RemoteStation::SequenceStatus> sequences = m_station->sequences();
    for (const RemoteStation::SequenceStatus &status : sequences)
        names << status.name;
    const int index = call.sequence.indexIn(names);
    if (index < 0)
        return RemoteAnswer::unknown(QStringLiteral("sequence"), call.sequence);
    const QString reason = m_station->controlSequence(index, commandOf(call.method));
    if (!reason.isEmpty())
        return RemoteAnswer::failed(RemoteError::Refused, reason);
    return answered(sequenceJson(m_station->sequences().value(index)));
}

RemoteAnswer ShowDispatcher::queryJournal(const RemoteCall &call) const
{
    JournalFilter filter = call.journal;
    if (call.processor.given()) {
        filter.processor = call.processor.indexIn(m_station->names());
        if (*filter.processor < 0)
            return RemoteAnswer::unknown(QStringLiteral("processor"), call.processor);
    }
    QJsonArray entries;
    const QList<RemoteStation::JournalEntry> found = m_station->queryJournal(filter);
    for (const RemoteStation::JournalEntry &entry : found)
        entries.append(entryJson(entry));
    return answered(QJsonObject{{QStringLiteral("entries"), entries}});
}

// Processors from 1 as everywhere on the API: 0 is the station's own.
QJsonValue ShowDispatcher::entryJson(const RemoteStation::JournalEntry &entry)
{
    return QJsonObject{{QStringLiteral("id"), double(entry.id)},
                       {QStringLiteral("time"), entry.time.toUTC().toString(Qt::ISODateWithMs)},
                       {QStringLiteral("who"), entry.who},
                       {QStringLiteral("by"), entry.by},
                       {QStringLiteral("processor"), entry.processor + 1},
                       {QStringLiteral("processorName"), entry.processorName},
                       {QStringLiteral("kind"), entry.kind},
                       {QStringLiteral("what"), entry.what},
                       {QStringLiteral("result"), entry.result},
                       {QStringLiteral("detail"), entry.detail}};
}
