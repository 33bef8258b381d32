#include "remoteserver.h"

#include "oscendpoint.h"
#include "oscmessage.h"
#include "remotelog.h"
#include "showdispatcher.h"
#include "stationdispatcher.h"
#include "wsendpoint.h"

namespace {

QString originName(int origin)
{
    switch (origin) {
    case RemoteActions::ByRemote:
        return QStringLiteral("remote");
    case RemoteActions::BySchedule:
        return QStringLiteral("schedule");
    case RemoteActions::BySequence:
        return QStringLiteral("sequence");
    default:
        return QStringLiteral("operator");
    }
}

} // namespace

RemoteServer::RemoteServer(RemoteStation *station, QObject *parent)
    : QObject(parent)
    , m_station(station)
    , m_dispatcher(std::make_unique<StationDispatcher>(station))
{
    const QList<RemoteActions *> processors = station->processors();
    for (int i = 0; i < processors.size(); ++i)
        watch(i, processors.at(i));
    connect(station, &RemoteStation::lookRecalled, this, &RemoteServer::lookRecalled);
    connect(station, &RemoteStation::sequenceChanged, this, [this](const RemoteStation::SequenceStatus &status) {
        if (m_ws)
            m_ws->notify(QStringLiteral("sequence.changed"), ShowDispatcher::sequenceJson(status));
    });
}

void RemoteServer::watch(int processor, RemoteActions *actions)
{
    connect(actions, &RemoteActions::presetRecalled, this,
            [this, processor](int preset, int origin) { presetRecalled(processor, preset, origin); });
    connect(actions, &RemoteActions::linkChanged, this, [this, processor] { linkChanged(processor); });
    connect(actions, &RemoteActions::marksChanged, this, [this, processor] {
        notify(QStringLiteral("marks.changed"), processor,
               {{QStringLiteral("presets"), m_dispatcher->processor(processor)->marksJson()}});
    });
    connect(actions, &RemoteActions::sourceSwitched, this,
            [this, processor](int preset, int window, int from, int to, const QString &reason) {
                notify(QStringLiteral("source.switched"), processor,
                       {{QStringLiteral("preset"), preset + 1},
                        {QStringLiteral("window"), window + 1},
                        {QStringLiteral("from"), from},
                        {QStringLiteral("to"), to},
                        {QStringLiteral("reason"), reason}});
            });
    connect(actions, &RemoteActions::signalsChanged, this, [this, processor] {
        notify(QStringLiteral("signals.changed"), processor,
               {{QStringLiteral("inputs"), m_dispatcher->processor(processor)->inputsJson()}});
    });
}

RemoteServer::~RemoteServer() = default;

bool RemoteServer::start(const RemoteSettings &settings)
{
    stop();
    m_error.clear();
    if (!settings.enabled)
        return true;
    if (!settings.problem().isEmpty()) {
        m_error = settings.problem();
        qCWarning(lcRemote) << "remote control not started:" << m_error;
        return false;
    }
    m_sessions.setPinHash(settings.page ? settings.pinHash : QString());
    auto ws = std::make_unique<WsEndpoint>(m_dispatcher.get(), settings.token, &m_sessions);
    auto osc = std::make_unique<OscEndpoint>(m_dispatcher.get(), settings.oscAllow);
    ws->setPagePort(settings.page ? settings.httpPort : 0);
    if (!ws->listen(settings.listen, settings.wsPort, settings.beyondLoopback()))
        m_error = QStringLiteral("WebSocket port %1: %2").arg(settings.wsPort).arg(ws->errorString());
    else if (!osc->listen(settings.listen, settings.oscPort, {settings.wsPort}))
        m_error = QStringLiteral("OSC port %1: %2").arg(settings.oscPort).arg(osc->errorString());
    if (!m_error.isEmpty()) {
        qCWarning(lcRemote) << "remote control not started:" << m_error;
        return false;
    }
    m_ws = std::move(ws);
    m_osc = std::move(osc);
    connect(m_ws.get(), &WsEndpoint::clientsChanged, this, [this] { emit clientsChanged(clients()); });
    connect(m_osc.get(), &OscEndpoint::sendersChanged, this, [this] { emit clientsChanged(clients()); });
    qCInfo(lcRemote) << "remote control on" << settings.listen.toString() << "OSC" << settings.oscPort
                     << "WebSocket" << settings.wsPort;
    emit clientsChanged(0);
    return true;
}

void RemoteServer::stop()
{
    if (!m_ws)
        return;
    m_ws.reset();
    m_osc.reset();
    emit clientsChanged(0);
}

int RemoteServer::clients() const
{
    return m_ws ? m_ws->clients() + m_osc->senders() : 0;
}

void RemoteServer::notify(const QString &topic, int processor, QJsonObject params)
{
    if (!m_ws)
        return;
    params.insert(QStringLiteral("processor"), m_dispatcher->processorJson(processor));
    m_ws->notify(topic, params);
}

// OSC hears of the processor the window shows only: its messages name none.
void RemoteServer::presetRecalled(int processor, int preset, int origin)
{
    notify(QStringLiteral("preset.recalled"), processor,
           {{QStringLiteral("preset"), preset + 1}, {QStringLiteral("by"), originName(origin)}});
    if (m_osc && processor == m_station->selected())
        m_osc->push(OscMessage::CurrentPreset, {preset + 1});
}

void RemoteServer::linkChanged(int processor)
{
    const QJsonObject status = m_dispatcher->processor(processor)->statusJson().toObject();
    notify(QStringLiteral("link.changed"), processor,
           {{QStringLiteral("linked"), status.value(QStringLiteral("linked"))},
            {QStringLiteral("transport"), status.value(QStringLiteral("transport"))},
            {QStringLiteral("state"), status.value(QStringLiteral("state"))}});
    if (m_osc && processor == m_station->selected())
        m_osc->push(OscMessage::Link, {status.value(QStringLiteral("linked")).toBool() ? 1 : 0});
}

void RemoteServer::lookRecalled(const QString &look, int origin, const QList<RemoteStation::Result> &results)
{
    if (!m_ws)
        return;
    m_ws->notify(QStringLiteral("look.recalled"), QJsonObject{{QStringLiteral("look"), look},
                                                             {QStringLiteral("by"), originName(origin)},
                                                             {QStringLiteral("results"), m_dispatcher->resultsJson(results)}});
}
