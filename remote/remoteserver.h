#ifndef REMOTESERVER_H
#define REMOTESERVER_H

#include "remoteactions.h"
#include "remotesettings.h"

#include <QObject>
#include <QString>

#include <memory>

class CallDispatcher;
class OscEndpoint;
class WsEndpoint;

// The remote control: OSC and JSON-RPC over WebSocket on the operator's
// settings, both ways into one dispatcher over the operator's actions, and
// the notifications pushed back. Listens only between start() and stop().
class RemoteServer : public QObject
{
    Q_OBJECT

public:
    explicit RemoteServer(RemoteActions *actions, QObject *parent = nullptr);
    ~RemoteServer() override;

    // Stops, then listens as the settings say when they are enabled; false,
    // with errorString() and nothing listening, when it cannot.
    bool start(const RemoteSettings &settings);
    void stop();
    bool listening() const { return m_ws != nullptr; }
    QString errorString() const { return m_error; }
    // WebSocket clients connected and OSC hosts heard from in the last minute.
    int clients() const;

signals:
    void clientsChanged(int clients);

private:
    void presetRecalled(int preset, int origin);
    void linkChanged();

    RemoteActions *m_actions;
    std::unique_ptr<CallDispatcher> m_dispatcher;
    std::unique_ptr<WsEndpoint> m_ws;
    std::unique_ptr<OscEndpoint> m_osc;
    QString m_error;
};

#endif // REMOTESERVER_H
