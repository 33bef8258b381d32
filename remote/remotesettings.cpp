#include "remotesettings.h"

#include "remotelog.h"

#include <QSettings>

namespace {

const QString Group = QStringLiteral("Remote");

quint16 portOf(const QSettings &settings, const char *key, quint16 fallback)
{
    if (!settings.contains(QLatin1String(key)))
        return fallback;
    bool ok = false;
    const int port = settings.value(QLatin1String(key)).toString().toInt(&ok);
    if (ok && port > 0 && port <= 65535)
        return quint16(port);
    qCWarning(lcRemote) << "remote setting" << key << "is not a port; using" << fallback;
    return fallback;
}

} // namespace

QString RemoteSettings::problem() const
{
    if (oscPort == wsPort)
        return QStringLiteral("the two ports are the same");
    if (page && (httpPort == oscPort || httpPort == wsPort))
        return QStringLiteral("the page's port is one of the remote control's");
    if (beyondLoopback() && token.trimmed().isEmpty())
        return QStringLiteral("a token is needed beyond the loopback");
    return QString();
}

RemoteSettings RemoteSettings::read(const QString &path)
{
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(Group);
    RemoteSettings settings;
    settings.enabled = file.value(QStringLiteral("enabled"), false).toBool();
    settings.oscPort = portOf(file, "oscPort", DefaultOscPort);
    settings.wsPort = portOf(file, "wsPort", DefaultWsPort);
    settings.page = file.value(QStringLiteral("page"), false).toBool();
    settings.httpPort = portOf(file, "httpPort", DefaultHttpPort);
    settings.pinHash = file.value(QStringLiteral("pinHash")).toString();
    const QString listen = file.value(QStringLiteral("listen")).toString().trimmed();
    if (!listen.isEmpty() && !settings.listen.setAddress(listen)) {
        qCWarning(lcRemote) << "remote setting listen is not an address; using the loopback";
        settings.listen = QHostAddress::LocalHost;
    }
    // Written by hand, a token with a comma is read as a list.
    settings.token = file.value(QStringLiteral("token")).toStringList().join(QLatin1Char(','));
    // A comma in an ini value reads as a list.
    const QStringList allow = file.value(QStringLiteral("oscAllow")).toStringList();
    bool ok = true;
    settings.oscAllow = parseAllow(allow.join(QLatin1Char(',')), &ok);
    if (!ok)
        qCWarning(lcRemote) << "remote setting oscAllow holds what is not an address; those are left out";
    return settings;
}

bool RemoteSettings::write(const QString &path, const RemoteSettings &settings)
{
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(Group);
    file.setValue(QStringLiteral("enabled"), settings.enabled ? "true" : "false");
    file.setValue(QStringLiteral("oscPort"), settings.oscPort);
    file.setValue(QStringLiteral("wsPort"), settings.wsPort);
    file.setValue(QStringLiteral("listen"), settings.listen.toString());
    file.setValue(QStringLiteral("token"), settings.token);
    file.setValue(QStringLiteral("oscAllow"), allowText(settings.oscAllow));
    file.setValue(QStringLiteral("page"), settings.page ? "true" : "false");
    file.setValue(QStringLiteral("httpPort"), settings.httpPort);
    file.setValue(QStringLiteral("pinHash"), settings.pinHash);
    file.endGroup();
    file.sync();
    return file.status() == QSettings::NoError;
}

QList<QHostAddress> RemoteSettings::parseAllow(const QString &text, bool *ok)
{
    *ok = true;
    QList<QHostAddress> addresses;
    const QStringList parts = text.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        const QHostAddress address(part.trimmed());
        if (address.isNull())
            *ok = false;
        else
            addresses << address;
    }
    return addresses;
}

QString RemoteSettings::allowText(const QList<QHostAddress> &allow)
{
    QStringList texts;
    for (const QHostAddress &address : allow)
        texts << address.toString();
    return texts.join(QStringLiteral(", "));
}
