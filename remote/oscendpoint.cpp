#include "oscendpoint.h"

#include "oscmessage.h"
#include "remotelog.h"

#include <QJsonObject>
#include <QNetworkDatagram>
#include <QPointer>

#include <algorithm>
#include <utility>

namespace {

constexpr int MaxRefusedLogged = 256;

} // namespace

OscEndpoint::OscEndpoint(CallDispatcher *dispatcher, const QList<QHostAddress> &allow, QObject *parent)
    : QObject(parent)
    , m_dispatcher(dispatcher)
    , m_allow(allow)
{
    connect(&m_socket, &QUdpSocket::readyRead, this, &OscEndpoint::read);
    m_clock.start();
}

bool OscEndpoint::listen(const QHostAddress &address, quint16 port)
{
    return m_socket.bind(address, port);
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
    const int before = m_senders.size();
    const OscMessage::Decoded decoded = OscMessage::decode(datagram);
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
    QPointer<OscEndpoint> self(this);
    m_dispatcher->submit(decoded.call, [self, replyHost, replyPort, method](const RemoteAnswer &answer) {
        if (!self)
            return;
        if (answer.error != 0) {
            self->send(replyHost, replyPort, OscMessage::error(answer.error, answer.message));
            return;
        }
        const QJsonObject result = answer.result.toObject();
        if (method == RemoteCall::Status || result.contains(QStringLiteral("preset")))
            self->send(replyHost, replyPort,
                       OscMessage::ints("/rz5300/preset/current", {result.value(QStringLiteral("preset")).toInt()}));
        if (method == RemoteCall::Status)
            self->send(replyHost, replyPort,
                       OscMessage::ints("/rz5300/link", {result.value(QStringLiteral("linked")).toBool() ? 1 : 0}));
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
