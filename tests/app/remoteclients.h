#ifndef REMOTECLIENTS_H
#define REMOTECLIENTS_H

#include <QProcess>
#include <QString>
#include <QStringList>

#include <memory>

// The remote control's WebSocket client from the distribution's Python
// (tests/remote/wsclient.py), run as a process of its own.
namespace RemoteClients {

// The interpreter that has the distribution's websockets; empty when none.
QString python();
// The client started with its arguments; returns once it has connected.
std::unique_ptr<QProcess> start(const QStringList &args);
// Its output once it has ended, one message a line.
QStringList finish(QProcess *client);
// A JSON-RPC request, params a JSON text or empty.
QString request(int id, const char *method, const QString &params = QString());

} // namespace RemoteClients

#endif // REMOTECLIENTS_H
