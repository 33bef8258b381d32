#include "tcptransport.h"

#include "devicesession.h"
#include "simlog.h"

#include <QTcpSocket>

TcpTransport::TcpTransport(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TcpTransport::acceptConnections);
}

bool TcpTransport::listen(quint16 port)
{
    if (m_server.listen(QHostAddress::LocalHost, port))
        return true;
    qCWarning(lcSim) << "cannot listen on port" << port << m_server.errorString();
    return false;
}

quint16 TcpTransport::port() const
{
    return m_server.serverPort();
}

void TcpTransport::hangUp()
{
    const QList<QTcpSocket *> sockets = m_server.findChildren<QTcpSocket *>();
    for (QTcpSocket *socket : sockets)
        socket->disconnectFromHost();
}

void TcpTransport::close()
{
    m_server.close();
    const QList<QTcpSocket *> sockets = m_server.findChildren<QTcpSocket *>();
    for (QTcpSocket *socket : sockets)
        socket->abort();
}

void TcpTransport::acceptConnections()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection())
        attach(socket);
}

void TcpTransport::attach(QTcpSocket *socket)
{
    qCInfo(lcSim) << "host connected from port" << socket->peerPort();
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    auto session = new DeviceSession(DeviceSession::Link::Tcp, socket);
    connect(socket, &QTcpSocket::readyRead, session, [socket, session] {
        session->receive(socket->readAll());
    });
    connect(session, &DeviceSession::transmit, socket, [socket](const QByteArray &bytes) {
        socket->write(bytes);
        socket->flush();
    });
    connect(session, &DeviceSession::closeDue, socket, &QTcpSocket::disconnectFromHost);
    connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    emit sessionStarted(session);
}
