#include "stationdispatcher.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QPointer>

StationDispatcher::StationDispatcher(RemoteStation *station, QObject *parent)
    : QObject(parent)
    , m_station(station)
    , m_show(station)
{
    const QList<RemoteActions *> processors = station->processors();
    for (RemoteActions *actions : processors)
        m_processors.push_back(std::make_unique<CallDispatcher>(actions));
}

StationDispatcher::~StationDispatcher() = default;

void StationDispatcher::submit(const RemoteCall &call, const CallDispatcher::Answer &answer, QObject *caller)
{
    if (call.stationWide()) {
        runStationCall(call, answer, caller);
        return;
    }
    const int index = call.processor.given() ? processorIndex(call.processor) : m_station->selected();
    if (index < 0) {
        answer(RemoteAnswer::unknown(QStringLiteral("processor"), call.processor));
        return;
    }
    processor(index)->submit(call, answer, caller);
}

void StationDispatcher::forget(QObject *caller)
{
    for (const auto &dispatcher : m_processors)
        dispatcher->forget(caller);
}

int StationDispatcher::processorIndex(const RemoteCall::Named &named) const
{
    return named.indexIn(m_station->names());
}

int StationDispatcher::lookIndex(const RemoteCall::Named &named, const QList<RemoteStation::Look> &looks) const
{
    QStringList names;
    for (const RemoteStation::Look &look : looks)
        names << look.name;
    return named.indexIn(names);
}

void StationDispatcher::runStationCall(const RemoteCall &call, const CallDispatcher::Answer &answer, QObject *caller)
{
    switch (call.method) {
    case RemoteCall::ProcessorsList:
        answer({processorsJson(), 0, QString()});
        break;
    case RemoteCall::LooksList:
        answer({looksJson(), 0, QString()});
        break;
    case RemoteCall::LookRecall:
        recallLook(call, answer, caller);
        break;
    case RemoteCall::LookStore:
        storeLook(call, answer);
        break;
    case RemoteCall::SequencesList:
        answer(m_show.sequencesList());
        break;
    case RemoteCall::SequenceStore:
        answer(m_show.store(call));
        break;
    case RemoteCall::SequenceStart:
    case RemoteCall::SequencePause:
    case RemoteCall::SequenceResume:
    case RemoteCall::SequenceStop:
        answer(m_show.control(call));
        break;
    case RemoteCall::JournalQuery:
        answer(m_show.queryJournal(call));
        break;
    default:
        break;
    }
}

QJsonValue StationDispatcher::processorJson(int index) const
{
    return QJsonObject{{QStringLiteral("number"), index + 1}, {QStringLiteral("name"), m_station->names().value(index)}};
}

QJsonValue StationDispatcher::processorsJson() const
{
    QJsonArray list;
    const QList<RemoteActions *> processors = m_station->processors();
    for (int i = 0; i < processors.size(); ++i) {
        const RemoteActions::Status status = processors.at(i)->status();
        list.append(QJsonObject{{QStringLiteral("processor"), i + 1},
                                {QStringLiteral("name"), m_station->names().value(i)},
                                {QStringLiteral("linked"), status.linked},
                                {QStringLiteral("state"), status.state},
                                {QStringLiteral("preset"), status.preset + 1},
                                {QStringLiteral("selected"), i == m_station->selected()}});
    }
    return list;
}

// A look is "all" on air when every processor of it shows its preset.
QJsonValue StationDispatcher::looksJson() const
{
    QJsonArray list;
    const QList<RemoteActions *> processors = m_station->processors();
    const QList<RemoteStation::Look> looks = m_station->looks();
    for (const RemoteStation::Look &look : looks) {
        QJsonArray presets;
        int shown = 0;
        for (const RemoteStation::Entry &entry : look.entries) {
            presets.append(QJsonObject{{QStringLiteral("processor"), entry.processor + 1},
                                       {QStringLiteral("preset"), entry.preset + 1}});
            RemoteActions *actions = processors.value(entry.processor);
            shown += actions && actions->status().preset == entry.preset ? 1 : 0;
        }
        const QString marks = shown == 0 ? QStringLiteral("none")
            : shown == look.entries.size() ? QStringLiteral("all")
                                            : QStringLiteral("some");
        list.append(QJsonObject{{QStringLiteral("name"), look.name},
                                {QStringLiteral("presets"), presets},
                                {QStringLiteral("marks"), marks}});
    }
    return list;
}

QJsonValue StationDispatcher::resultsJson(const QList<RemoteStation::Result> &results) const
{
    QJsonArray list;
    for (const RemoteStation::Result &result : results) {
        list.append(QJsonObject{{QStringLiteral("processor"), result.processor + 1},
                                {QStringLiteral("preset"), result.preset + 1},
                                {QStringLiteral("result"), result.result}});
    }
    return list;
}

// Answered when every processor has answered or the look's wait ended;
// a client gone by then hears nothing.
void StationDispatcher::recallLook(const RemoteCall &call, const CallDispatcher::Answer &answer, QObject *caller)
{
    const QList<RemoteStation::Look> looks = m_station->looks();
    const int index = lookIndex(call.look, looks);
    if (index < 0) {
        answer(RemoteAnswer::unknown(QStringLiteral("look"), call.look));
        return;
    }
    QPointer<StationDispatcher> self(this);
    QPointer<QObject> client(caller);
    const QString name = looks.at(index).name;
    m_station->recallLook(index, call.client, [self, client, answer, name](const QList<RemoteStation::Result> &results) {
        if (self && client)
            answer({QJsonObject{{QStringLiteral("look"), name}, {QStringLiteral("results"), self->resultsJson(results)}},
                    0, QString()});
    });
}

void StationDispatcher::storeLook(const RemoteCall &call, const CallDispatcher::Answer &answer)
{
    RemoteStation::Look look{call.name.trimmed(), {}};
    for (const RemoteCall::Entry &entry : call.entries) {
        const int index = processorIndex(entry.processor);
        if (index < 0) {
            answer(RemoteAnswer::unknown(QStringLiteral("processor"), entry.processor));
            return;
        }
        look.entries.append({index, entry.preset});
    }
    const QString reason = m_station->storeLook(look);
    if (!reason.isEmpty()) {
        answer(RemoteAnswer::failed(RemoteError::InvalidParams, reason));
        return;
    }
    answer({QJsonObject{{QStringLiteral("look"), look.name}}, 0, QString()});
}
