#include "wsendpoint.h"

#include "remotelog.h"
#include "rpccodec.h"
#include "samebytes.h"
#include "sessionstore.h"

#include <QCryptographicHash>
#include <QJsonArray>
#include <QNetworkProxy>
#include <QPointer>
#include <QUrlQuery>
#include <QWebSocket>

namespace {

// Qt's own bound, past which it closes the connection unread.
constexpr qint64 HardLimitBytes = 2 * qint64(RpcCodec::MaxMessageBytes);
// What may wait unsent for one client.
constexpr qint64 MaxBacklogBytes = qint64(1) << 20; // 1 MiB

constexpr int MaxClientName = 64;

// The client's address, and the name it gives in its address (?name=) as
// far as it is printable and short: the journal says who asked.
QString labelOf(const QWebSocket *socket)
{
    const QString given = QUrlQuery(socket->requestUrl()).queryItemValue(QStringLiteral("name"), QUrl::FullyDecoded);
    QString name;
    for (const QChar c : given) {
        if (c.isPrint() && name.size() < MaxClientName)
            name += c;
    }
    name = name.simplified();
    const QString address = socket->peerAddress().toString();
    return name.isEmpty() ? address : QStringLiteral("%1 (%2)").arg(address, name);
}

QByteArray hashOf(const QString &token)
{
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

} // namespace

WsEndpoint::WsEndpoint(StationDispatcher *dispatcher, const QString &token, SessionStore *sessions, QObject *parent)
    : QObject(parent)
    , m_dispatcher(dispatcher)
    , m_sessions(sessions)
    , m_tokenHash(hashOf(token))
    , m_tokenSet(!token.isEmpty())
    , m_server(QStringLiteral("rz5300"), QWebSocketServer::NonSecureMode)
{
    m_server.setMaxPendingConnections(MaxClients);
    // A control server on the loopback or the LAN has no proxy to ask.
    m_server.setProxy(QNetworkProxy::NoProxy);
    connect(&m_server, &QWebSocketServer::newConnection, this, &WsEndpoint::accept);
}

WsEndpoint::~WsEndpoint()
{
    const QList<QWebSocket *> sockets = m_clients.keys();
    m_clients.clear();
    for (QWebSocket *socket : sockets) {
        socket->disconnect(this);
        socket->abort();
        delete socket;
    }
}

bool WsEndpoint::listen(const QHostAddress &address, quint16 port, bool tokenNeeded)
{
    m_tokenNeeded = tokenNeeded;
    return m_server.listen(address, port);
}

void WsEndpoint::notify(const QString &topic, const QJsonValue &params)
{
    const QByteArray message = RpcCodec::notification(topic, params);
    for (auto it = m_clients.cbegin(); it != m_clients.cend(); ++it) {
        if (it->topics.contains(topic))
            send(it.key(), message);
    }
}

// The socket goes later: its disconnection takes it out of the clients,
// which may be being walked through now.
void WsEndpoint::send(QWebSocket *socket, const QByteArray &message)
{
    if (socket->bytesToWrite() > MaxBacklogBytes) {
        qCWarning(lcRemote) << "WebSocket client from" << socket->peerAddress().toString()
                            << "dropped: it does not read what it is sent";
        QMetaObject::invokeMethod(socket, &QWebSocket::abort, Qt::QueuedConnection);
        return;
    }
    socket->sendTextMessage(QString::fromUtf8(message));
}

// A client without a valid token holds a place it cannot use.
bool WsEndpoint::makeRoom()
{
    for (auto it = m_clients.cbegin(); it != m_clients.cend(); ++it) {
        if (!it->authorised) {
            QWebSocket *socket = it.key();
            qCWarning(lcRemote) << "WebSocket client from" << socket->peerAddress().toString()
                                << "closed to make room: it gave no valid token";
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            drop(socket);
            return true;
        }
    }
    return false;
}

void WsEndpoint::accept()
{
    while (QWebSocket *socket = m_server.nextPendingConnection()) {
        if (m_clients.size() >= MaxClients && !makeRoom()) {
            qCWarning(lcRemote) << "WebSocket client from" << socket->peerAddress().toString()
                                << "turned away: too many clients";
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            socket->deleteLater();
            continue;
        }
        if (!originAllowed(socket)) {
            qCWarning(lcRemote) << "WebSocket client from" << socket->peerAddress().toString()
                                << "turned away: opened by the page" << socket->origin();
            socket->close(QWebSocketProtocol::CloseCodePolicyViolated);
            socket->deleteLater();
            continue;
        }
        socket->setMaxAllowedIncomingMessageSize(quint64(HardLimitBytes));
        socket->setMaxAllowedIncomingFrameSize(quint64(HardLimitBytes));
        Client client;
        const QString given = QUrlQuery(socket->requestUrl()).queryItemValue(QStringLiteral("token"), QUrl::FullyDecoded);
        client.authorised = !m_tokenNeeded || (m_tokenSet && tokenMatches(given)) || m_sessions->take(given);
        client.label = labelOf(socket);
        m_clients.insert(socket, client);
        connect(socket, &QWebSocket::textMessageReceived, this,
                [this, socket](const QString &message) { take(socket, message); });
        connect(socket, &QWebSocket::binaryFrameReceived, this, [this, socket] { refuseBinary(socket); });
        // The client goes with its close frame: its waiting calls go then,
        // not when the connection is finally down.
        connect(socket, &QWebSocket::aboutToClose, this, [this, socket] { m_dispatcher->forget(socket); });
        connect(socket, &QWebSocket::disconnected, this, [this, socket] { drop(socket); });
        qCInfo(lcRemote) << "WebSocket client from" << socket->peerAddress().toString();
        emit clientsChanged();
    }
}

bool WsEndpoint::originAllowed(const QWebSocket *socket) const
{
    const QString origin = socket->origin();
    if (origin.isEmpty())
        return true;
    const QUrl page(origin);
    return m_pagePort != 0 && page.scheme() == QLatin1String("http") && page.port() == m_pagePort
        && page.host().compare(socket->requestUrl().host(), Qt::CaseInsensitive) == 0;
}

void WsEndpoint::take(QWebSocket *socket, const QString &text)
{
    // What comes in after a close, either side's, is not run.
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    const QByteArray message = text.toUtf8();
    const RpcCodec::Decoded decoded = RpcCodec::decode(message);
    if (decoded.error == RemoteError::TooLarge) {
        send(socket, RpcCodec::error(decoded.id, decoded.error, decoded.message));
        socket->close(QWebSocketProtocol::CloseCodeTooMuchData);
        return;
    }
    if (decoded.error != 0) {
        send(socket, RpcCodec::error(decoded.id, decoded.error, decoded.message));
        return;
    }
    if (!m_clients.value(socket).authorised) {
        send(socket, RpcCodec::error(decoded.id, RemoteError::Unauthorised, QStringLiteral("a valid token is needed")));
        return;
    }
    QPointer<WsEndpoint> self(this);
    QPointer<QWebSocket> client(socket);
    const QJsonValue id = decoded.id;
    const bool notification = decoded.notification;
    RemoteCall call = decoded.call;
    call.client = m_clients.value(socket).label;
    m_dispatcher->submit(call, [self, client, id, notification, call](const RemoteAnswer &answer) {
        if (!self || !client || !self->m_clients.contains(client))
            return;
        if (answer.error == 0 && call.method == RemoteCall::Subscribe)
            self->m_clients[client].topics = QSet<QString>(call.topics.begin(), call.topics.end());
        if (answer.error != 0)
            self->send(client, RpcCodec::error(id, answer.error, answer.message));
        else if (!notification)
            self->send(client, RpcCodec::result(id, answer.result));
    }, socket);
}

// Closed at its first frame, not answered: no request comes that way.
void WsEndpoint::refuseBinary(QWebSocket *socket)
{
    if (socket->state() != QAbstractSocket::ConnectedState)
        return;
    qCInfo(lcRemote) << "WebSocket client from" << socket->peerAddress().toString() << "closed: it sent binary data";
    socket->close(QWebSocketProtocol::CloseCodeDatatypeNotSupported, QStringLiteral("requests are text messages"));
}

void WsEndpoint::drop(QWebSocket *socket)
{
    if (m_clients.remove(socket) == 0)
        return;
    m_dispatcher->forget(socket);
    socket->deleteLater();
    emit clientsChanged();
}

// Both sides hashed to the same length, compared without an early exit.
bool WsEndpoint::tokenMatches(const QString &given) const
{
    return sameBytes(hashOf(given), m_tokenHash);
}
