#include "oscendpoint.h"

#include "oscmessage.h"
#include "remotelog.h"

#include <QJsonObject>
#include <QNetworkDatagram>
#include <QNetworkInterface>
#include <QNetworkProxy>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

constexpr int MaxRefusedLogged = 256;

} // namespace

OscEndpoint::OscEndpoint(StationDispatcher *dispatcher, const QList<QHostAddress> &allow, QObject *parent)
    : QObject(parent)
    , m_dispatcher(dispatcher)
    , m_allow(allow)
{
    // Bound on the loopback or the LAN: no proxy to ask.
    m_socket.setProxy(QNetworkProxy::NoProxy);
    connect(&m_socket, &QUdpSocket::readyRead, this, &OscEndpoint::read);
    m_clock.start();
}

bool OscEndpoint::listen(const QHostAddress &address, quint16 port, const QList<quint16> &otherPorts)
{
    if (!m_socket.bind(address, port))
        return false;
    m_ownPorts = otherPorts;
    m_ownPorts << m_socket.localPort();
    m_ownHosts = QNetworkInterface::allAddresses();
    return true;
}

int OscEndpoint::senders()
{
    forgetOld();
    return m_senders.size();
}

void OscEndpoint::push(const char *path, const QList<int> &values)
{
    forgetOld();
    const QByteArray datagram = OscMessage::ints(path, values);
    for (const Sender &sender : std::as_const(m_senders))
        send(sender.host, sender.port, datagram);
}

void OscEndpoint::read()
{
    while (m_socket.hasPendingDatagrams()) {
        const QNetworkDatagram datagram = m_socket.receiveDatagram(OscMessage::MaxDatagramBytes + 1);
        take(datagram.data(), datagram.senderAddress(), quint16(datagram.senderPort()));
    }
}

void OscEndpoint::take(const QByteArray &datagram, const QHostAddress &host, quint16 port)
{
    if (!allowed(host)) {
        if (m_refused.size() < MaxRefusedLogged && !m_refused.contains(host.toString())) {
            m_refused.insert(host.toString());
            qCWarning(lcRemote) << "OSC from" << host.toString() << "ignored: not on the allowed list";
        }
        return;
    }
    if (fromOurselves(host, port)) {
        qCDebug(lcRemote) << "OSC from the endpoint's own port dropped";
        return;
    }
    const OscMessage::Decoded decoded = OscMessage::decode(datagram);
    if (decoded.ignored)
        return;
    if (decoded.replyPort != 0 && m_ownPorts.contains(quint16(decoded.replyPort))) {
        refuseReplyPort(host, port);
        return;
    }
    const int before = m_senders.size();
    Sender &sender = heardFrom(host, port);
    if (decoded.replyPort != 0) {
        sender.port = quint16(decoded.replyPort);
        sender.portNamed = true;
    }
    // Copied first: what the signal runs may forget other senders, and
    // the table may move.
    const QHostAddress replyHost = sender.host;
    const quint16 replyPort = sender.port;
    if (m_senders.size() != before)
        emit sendersChanged();
    if (decoded.error != 0) {
        qCInfo(lcRemote) << "OSC from" << host.toString() << "refused:" << decoded.message;
        send(replyHost, replyPort, OscMessage::error(decoded.error, decoded.message));
        return;
    }
    const RemoteCall::Method method = decoded.call.method;
    RemoteCall call = decoded.call;
    call.client = QStringLiteral("%1 (OSC)").arg(host.toString());
    QPointer<OscEndpoint> self(this);
    m_dispatcher->submit(call, [self, replyHost, replyPort, method](const RemoteAnswer &answer) {
        if (!self)
            return;
        if (answer.error != 0) {
            self->send(replyHost, replyPort, OscMessage::error(answer.error, answer.message));
            return;
        }
        const QJsonObject result = answer.result.toObject();
        if (method == RemoteCall::Status || result.contains(QStringLiteral("preset")))
            self->send(replyHost, replyPort,
                       OscMessage::ints(OscMessage::CurrentPreset, {result.value(QStringLiteral("preset")).toInt()}));
        if (method == RemoteCall::Status)
            self->send(replyHost, replyPort,
                       OscMessage::ints(OscMessage::Link, {result.value(QStringLiteral("linked")).toBool() ? 1 : 0}));
    }, this);
}

// The loopback always; beyond it, the hosts the operator named.
bool OscEndpoint::allowed(const QHostAddress &host) const
{
    if (host.isLoopback())
        return true;
    return std::any_of(m_allow.begin(), m_allow.end(),
                       [&host](const QHostAddress &a) { return a.isEqual(host, QHostAddress::TolerantConversion); });
}

// A datagram of ours, sent to ourselves: answering it would loop.
bool OscEndpoint::fromOurselves(const QHostAddress &host, quint16 port) const
{
    if (port != m_socket.localPort())
        return false;
    return host.isLoopback() || std::any_of(m_ownHosts.begin(), m_ownHosts.end(), [&host](const QHostAddress &a) {
        return a.isEqual(host, QHostAddress::TolerantConversion);
    });
}

// Replies there would come back to us; the sender hears why at the port
// it sent from, unless that is ours too.
void OscEndpoint::refuseReplyPort(const QHostAddress &host, quint16 port)
{
    qCWarning(lcRemote) << "OSC from" << host.toString() << "refused: it named a port of this program for replies";
    if (!m_ownPorts.contains(port))
        send(host, port,
             OscMessage::error(RemoteError::InvalidParams, QStringLiteral("the reply port is one of this program's own")));
}

// A host keeps the port it named; the table holds the hosts heard from
// last, the oldest going first.
OscEndpoint::Sender &OscEndpoint::heardFrom(const QHostAddress &host, quint16 port)
{
    forgetOld();
    const QString key = host.toString();
    if (!m_senders.contains(key) && m_senders.size() >= MaxSenders) {
        auto oldest = std::min_element(m_senders.begin(), m_senders.end(),
                                       [](const Sender &a, const Sender &b) { return a.heardMs < b.heardMs; });
        m_senders.erase(oldest);
    }
    Sender &sender = m_senders[key];
    sender.host = host;
    if (!sender.portNamed)
        sender.port = port;
    sender.heardMs = m_clock.elapsed();
    return sender;
}

void OscEndpoint::forgetOld()
{
    const qint64 now = m_clock.elapsed();
    const int before = m_senders.size();
    for (auto it = m_senders.begin(); it != m_senders.end();) {
        if (now - it->heardMs > SenderKeptMs)
            it = m_senders.erase(it);
        else
            ++it;
    }
    if (m_senders.size() != before)
        emit sendersChanged();
}

void OscEndpoint::send(const QHostAddress &host, quint16 port, const QByteArray &datagram)
{
    m_socket.writeDatagram(datagram, host, port);
}
