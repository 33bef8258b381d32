#ifndef REMOTESERVER_H
#define REMOTESERVER_H

#include "remotesettings.h"
#include "remotestation.h"
#include "sessionstore.h"

#include <QJsonObject>
#include <QObject>
#include <QString>

#include <memory>

class OscEndpoint;
class StationDispatcher;
class WsEndpoint;

// The remote control of the station: OSC and JSON-RPC over WebSocket on
// the operator's settings, both ways into one dispatcher over every
// processor's actions and the looks, and the notifications pushed back,
// each naming its processor. Listens only between start() and stop().
class RemoteServer : public QObject
{
    Q_OBJECT

public:
    explicit RemoteServer(RemoteStation *station, QObject *parent = nullptr);
    ~RemoteServer() override;

    // Stops, then listens as the settings say when they are enabled; false,
    // with errorString() and nothing listening, when it cannot.
    bool start(const RemoteSettings &settings);
    void stop();
    bool listening() const { return m_ws != nullptr; }
    QString errorString() const { return m_error; }
    // The tablet page's sessions, which outlive a restart unless the PIN
    // changed.
    SessionStore *sessions() { return &m_sessions; }
    // WebSocket clients connected and OSC hosts heard from in the last minute.
    int clients() const;

signals:
    void clientsChanged(int clients);

private:
    void watch(int processor, RemoteActions *actions);
    void notify(const QString &topic, int processor, QJsonObject params);
    void presetRecalled(int processor, int preset, int origin);
    void linkChanged(int processor);
    void lookRecalled(const QString &look, int origin, const QList<RemoteStation::Result> &results);

    RemoteStation *m_station;
    std::unique_ptr<StationDispatcher> m_dispatcher;
    SessionStore m_sessions;
    std::unique_ptr<WsEndpoint> m_ws;
    std::unique_ptr<OscEndpoint> m_osc;
    QString m_error;
};

#endif // REMOTESERVER_H
