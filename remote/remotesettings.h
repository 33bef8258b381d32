#ifndef REMOTESETTINGS_H
#define REMOTESETTINGS_H

#include <QHostAddress>
#include <QList>
#include <QString>

// The remote control's settings, the [Remote] group of the settings file:
// off unless switched on, and on the loopback unless another address is
// given. A token is what WebSocket clients must give, and oscAllow the
// senders OSC accepts, when listening beyond the loopback. The tablet
// page is served over HTTP beside them when asked; beyond the loopback its
// users give the PIN, kept here only as PinHash makes it.
struct RemoteSettings
{
    static constexpr quint16 DefaultOscPort = 9300;
    static constexpr quint16 DefaultWsPort = 9301;
    static constexpr quint16 DefaultHttpPort = 8480;

    bool enabled = false;
    quint16 oscPort = DefaultOscPort;
    quint16 wsPort = DefaultWsPort;
    QHostAddress listen = QHostAddress::LocalHost;
    QString token;
    QList<QHostAddress> oscAllow;
    bool page = false;
    quint16 httpPort = DefaultHttpPort;
    QString pinHash;

    bool beyondLoopback() const { return !listen.isLoopback(); }
    // What is wrong with them, empty when nothing: the ports must differ,
    // and beyond the loopback a token is needed. A page without a PIN is
    // served on the loopback alone: /session refuses the others.
    QString problem() const;

    // Values the file holds that cannot be taken are left at their default
    // and logged.
    static RemoteSettings read(const QString &path);
    static bool write(const QString &path, const RemoteSettings &settings);
    static QList<QHostAddress> parseAllow(const QString &text, bool *ok);
    static QString allowText(const QList<QHostAddress> &allow);
};

#endif // REMOTESETTINGS_H
