#include "remoteclients.h"

#include <windowdriver.h>

#include <QDebug>
#include <QStandardPaths>

QString RemoteClients::python()
{
    return QStandardPaths::findExecutable(QStringLiteral("python3"), {QStringLiteral("/usr/bin")});
}

std::unique_ptr<QProcess> RemoteClients::start(const QStringList &args)
{
    auto process = std::make_unique<QProcess>();
    process->start(python(), QStringList{QStringLiteral(TESTS_DIR "/remote/wsclient.py")} + args);
    WindowDriver::waitFor([&] { return process->canReadLine() || process->state() == QProcess::NotRunning; }, 20000);
    const QByteArray first = process->readLine().trimmed();
    if (first != "ready")
        qWarning() << "client did not connect:" << first << process->readAllStandardError();
    return process;
}

QStringList RemoteClients::finish(QProcess *client)
{
    WindowDriver::waitFor([client] { return client->state() == QProcess::NotRunning; }, 30000);
    return QString::fromUtf8(client->readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString RemoteClients::request(int id, const char *method, const QString &params)
{
    return QStringLiteral(R"({"jsonrpc":"2.0","id":%1,"method":"%2"%3})")
        .arg(id)
        .arg(QLatin1String(method))
        .arg(params.isEmpty() ? QString() : QStringLiteral(",\"params\":") + params);
}
