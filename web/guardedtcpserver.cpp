#include "guardedtcpserver.h"

#include "pagereply.h"
#include "weblog.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

const QByteArray HeadEnd = QByteArrayLiteral("\r\n\r\n");

} // namespace

GuardedTcpServer::GuardedTcpServer(const QList<QHostAddress> &allow, QObject *parent)
    : QTcpServer(parent)
    , m_allow(allow)
{
}

bool GuardedTcpServer::allowed(const QHostAddress &address) const
{
    if (address.isLoopback())
        return true;
    for (const QHostAddress &allowed : m_allow) {
        if (allowed.isEqual(address, QHostAddress::ConvertV4MappedToIPv4))
            return true;
    }
    return false;
}

// Refused connections are answered and closed here; Qt's HTTP server gets
// only those that may talk, with the guard's watch connected first.
QTcpSocket *GuardedTcpServer::nextPendingConnection()
{
    while (QTcpSocket *socket = QTcpServer::nextPendingConnection()) {
        connect(socket, &QObject::destroyed, this, [this] { --m_connections; });
        ++m_connections;
        QTimer::singleShot(ConnectionMs, socket, [socket] { socket->abort(); });
        if (m_connections > MaxConnections) {
            qCWarning(lcWeb) << "page client from" << socket->peerAddress().toString() << "turned away: too many";
            refuse(socket, 503, "Service Unavailable", "too many connections; try again");
            continue;
        }
        if (!allowed(socket->peerAddress())) {
            qCWarning(lcWeb) << "page client from" << socket->peerAddress().toString() << "refused: not allowed";
            refuse(socket, 403, "Forbidden", "this address may not use the page");
            continue;
        }
        guard(socket);
        return socket;
    }
    return nullptr;
}

void GuardedTcpServer::guard(QTcpSocket *socket)
{
    auto budget = std::make_shared<Budget>();
    connect(socket, &QTcpSocket::readyRead, this, [this, socket, budget] { measure(socket, budget.get()); });
}

// Runs before the HTTP server reads: it only counts the bytes and looks
// for the blank line that ends the head.
void GuardedTcpServer::measure(QTcpSocket *socket, Budget *budget)
{
    if (budget->refused)
        return;
    const QByteArray fresh = socket->peek(socket->bytesAvailable());
    const qint64 before = budget->received;
    budget->received += fresh.size();
    if (!budget->headEnded) {
        const QByteArray seen = budget->tail + fresh;
        const qint64 end = seen.indexOf(HeadEnd);
        budget->headEnded = end >= 0;
        budget->headBytes = budget->headEnded ? before - budget->tail.size() + end + HeadEnd.size() : budget->received;
        budget->tail = seen.right(HeadEnd.size() - 1);
    }
    if (budget->headBytes > MaxHeadBytes) {
        budget->refused = true;
        refuse(socket, 431, "Request Header Fields Too Large", "the request's head is over 8 KiB");
    } else if (budget->received > MaxHeadBytes + MaxBodyBytes) {
        budget->refused = true;
        refuse(socket, 413, "Payload Too Large", "the request is over 12 KiB");
    }
}

// Whatever came is dropped unread, so the HTTP server sees none of it.
void GuardedTcpServer::refuse(QTcpSocket *socket, int status, const QByteArray &reason, const QByteArray &text)
{
    socket->readAll();
    connect(socket, &QTcpSocket::readyRead, socket, [socket] { socket->readAll(); });
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    socket->write(PageReply::raw(status, reason, text));
    socket->disconnectFromHost();
}
