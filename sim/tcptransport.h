#ifndef TCPTRANSPORT_H
#define TCPTRANSPORT_H

#include <QObject>
#include <QTcpServer>

class DeviceSession;
class QTcpSocket;

// The device's network port on 127.0.0.1; every accepted connection gets a
// session of its own.
class TcpTransport : public QObject
{
    Q_OBJECT

public:
    explicit TcpTransport(QObject *parent = nullptr);

    bool listen(quint16 port);
    quint16 port() const;
    // Closes every open connection; the port keeps listening.
    void hangUp();
    // Closes every connection and stops listening: the device is switched
    // off. listen() on the same port switches it on again.
    void close();

signals:
    void sessionStarted(DeviceSession *session);

private:
    void acceptConnections();
    void attach(QTcpSocket *socket);

    QTcpServer m_server;
};

#endif // TCPTRANSPORT_H
