#ifndef GUARDEDTCPSERVER_H
#define GUARDEDTCPSERVER_H

#include <QList>
#include <QHostAddress>
#include <QTcpServer>

// The TCP side of the page server, bounding what a client may make it hold
// before Qt's HTTP server parses a request: the connections at once, the
// bytes of a request's head (431) and of the whole connection (413), and
// how long a connection lasts. Beyond the loopback only the addresses
// allowed (the remote control's list, as for OSC) are served; others are
// answered 403. Each connection carries one request: every answer
// says "Connection: close".
class GuardedTcpServer : public QTcpServer
{
    Q_OBJECT

public:
    static constexpr int MaxConnections = 64;
    static constexpr qint64 MaxHeadBytes = 8 * 1024;
    static constexpr qint64 MaxBodyBytes = 4 * 1024;
    static constexpr int ConnectionMs = 30000;

    explicit GuardedTcpServer(const QList<QHostAddress> &allow, QObject *parent = nullptr);

    QTcpSocket *nextPendingConnection() override;

    bool allowed(const QHostAddress &address) const;

private:
    struct Budget
    {
        qint64 received = 0;
        qint64 headBytes = 0;
        bool headEnded = false;
        bool refused = false;
        QByteArray tail;
    };

    void guard(QTcpSocket *socket);
    void measure(QTcpSocket *socket, Budget *budget);
    void refuse(QTcpSocket *socket, int status, const QByteArray &reason, const QByteArray &text);

    QList<QHostAddress> m_allow;
    int m_connections = 0;
};

#endif // GUARDEDTCPSERVER_H
