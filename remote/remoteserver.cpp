#include "remoteserver.h"

#include "calldispatcher.h"
#include "oscendpoint.h"
#include "oscmessage.h"
#include "remotelog.h"
#include "wsendpoint.h"

#include <QJsonObject>

RemoteServer::RemoteServer(RemoteActions *actions, QObject *parent)
    : QObject(parent)
    , m_actions(actions)
    , m_dispatcher(std::make_unique<CallDispatcher>(actions))
{
    connect(actions, &RemoteActions::presetRecalled, this, &RemoteServer::presetRecalled);
    connect(actions, &RemoteActions::linkChanged, this, &RemoteServer::linkChanged);
    connect(actions, &RemoteActions::marksChanged, this, [this] {
        if (m_ws)
            m_ws->notify(QStringLiteral("marks.changed"), QJsonObject{{QStringLiteral("presets"), m_dispatcher->marksJson()}});
    });
    connect(actions, &RemoteActions::signalsChanged, this, [this] {
        if (m_ws)
            m_ws->notify(QStringLiteral("signals.changed"), QJsonObject{{QStringLiteral("inputs"), m_dispatcher->inputsJson()}});
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
    auto ws = std::make_unique<WsEndpoint>(m_dispatcher.get(), settings.token);
    auto osc = std::make_unique<OscEndpoint>(m_dispatcher.get(), settings.oscAllow);
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

void RemoteServer::presetRecalled(int preset, int origin)
{
    if (!m_ws)
        return;
    m_ws->notify(QStringLiteral("preset.recalled"),
                 QJsonObject{{QStringLiteral("preset"), preset + 1},
                             {QStringLiteral("by"), origin == RemoteActions::ByRemote ? QStringLiteral("remote")
                                                                                      : QStringLiteral("operator")}});
    m_osc->push(OscMessage::CurrentPreset, {preset + 1});
}

void RemoteServer::linkChanged()
{
    if (!m_ws)
        return;
    const QJsonObject status = m_dispatcher->statusJson().toObject();
    m_ws->notify(QStringLiteral("link.changed"),
                 QJsonObject{{QStringLiteral("linked"), status.value(QStringLiteral("linked"))},
                             {QStringLiteral("transport"), status.value(QStringLiteral("transport"))}});
    m_osc->push(OscMessage::Link, {status.value(QStringLiteral("linked")).toBool() ? 1 : 0});
}
