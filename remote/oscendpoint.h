#ifndef OSCENDPOINT_H
#define OSCENDPOINT_H

#include "stationdispatcher.h"

#include <QElapsedTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QObject>
#include <QSet>
#include <QUdpSocket>

// OSC over UDP on the address and port given. Senders on the loopback, or
// beyond it when allowed, reach the dispatcher; others are ignored and
// logged. Replies go to the sender's host, at the port it named in its last
// /rz5300/status ,i PORT, else at the port the message came from; pushes go
// the same way to every host heard from in the last minute. Nothing is
// answered that could loop back: a reply port of this program's own is
// refused, replies and pushes of ours are dropped, and so is every datagram
// from the endpoint's own address and port.
class OscEndpoint : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxSenders = 64;
    static constexpr qint64 SenderKeptMs = 60000;

    OscEndpoint(StationDispatcher *dispatcher, const QList<QHostAddress> &allow, QObject *parent = nullptr);

    // otherPorts: the program's other ports, never a reply port.
    bool listen(const QHostAddress &address, quint16 port, const QList<quint16> &otherPorts);
    QString errorString() const { return m_socket.errorString(); }
    // Hosts heard from in the last minute.
    int senders();
    void push(const char *path, const QList<int> &values);

signals:
    void sendersChanged();

private:
    struct Sender
    {
        QHostAddress host;
        quint16 port = 0;
        bool portNamed = false;
        qint64 heardMs = 0;
    };

    void read();
    void take(const QByteArray &datagram, const QHostAddress &host, quint16 port);
    bool allowed(const QHostAddress &host) const;
    bool fromOurselves(const QHostAddress &host, quint16 port) const;
    void refuseReplyPort(const QHostAddress &host, quint16 port);
    Sender &heardFrom(const QHostAddress &host, quint16 port);
    void forgetOld();
    void send(const QHostAddress &host, quint16 port, const QByteArray &datagram);

    StationDispatcher *m_dispatcher;
    QList<QHostAddress> m_allow;
    QList<QHostAddress> m_ownHosts;
    QList<quint16> m_ownPorts;
    QUdpSocket m_socket;
    QHash<QString, Sender> m_senders; // by host
    QSet<QString> m_refused;          // hosts logged as refused
    QElapsedTimer m_clock;
};

#endif // OSCENDPOINT_H
