#ifndef WSENDPOINT_H
#define WSENDPOINT_H

#include "stationdispatcher.h"

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QSet>
#include <QWebSocketServer>

class QWebSocket;
class SessionStore;

// JSON-RPC 2.0 over WebSocket (text messages, one request each). When
// listening beyond the loopback a client must give the token in its URL
// (ws://host:port/?token=...), or every request is refused; a live
// session's token of the tablet page is taken as well. A message over
// 64 KiB is answered and its connection closed; Qt closes one over twice
// that before it is read whole. Binary data closes the connection at its
// first frame. A client's waiting calls are dropped as soon as it closes. A client that does not read what it is sent
// is dropped once 1 MiB waits for it; one without a valid token yields its
// place when all are taken.
class WsEndpoint : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxClients = 32;

    WsEndpoint(StationDispatcher *dispatcher, const QString &token, SessionStore *sessions,
               QObject *parent = nullptr);
    ~WsEndpoint() override;

    bool listen(const QHostAddress &address, quint16 port, bool tokenNeeded);
    // The tablet page's HTTP port (0: no page). A browser names the page
    // that opens a connection (Origin); one from any other page is turned
    // away, so that a page on the web cannot drive the wall through a
    // browser on this machine. Clients that are not browsers name none.
    void setPagePort(quint16 port) { m_pagePort = port; }
    QString errorString() const { return m_server.errorString(); }
    int clients() const { return m_clients.size(); }
    // To every client subscribed to the topic.
    void notify(const QString &topic, const QJsonValue &params);

signals:
    void clientsChanged();

private:
    bool originAllowed(const QWebSocket *socket) const;
    struct Client
    {
        QSet<QString> topics;
        bool authorised = false;
        QString label; // its address, and the name it gave
    };

    void accept();
    bool makeRoom();
    void take(QWebSocket *socket, const QString &message);
    void refuseBinary(QWebSocket *socket);
    void send(QWebSocket *socket, const QByteArray &message);
    void drop(QWebSocket *socket);
    bool tokenMatches(const QString &given) const;

    StationDispatcher *m_dispatcher;
    SessionStore *m_sessions;
    QByteArray m_tokenHash;
    bool m_tokenSet;
    bool m_tokenNeeded = false;
    QWebSocketServer m_server;
    QHash<QWebSocket *, Client> m_clients;
    quint16 m_pagePort = 0;
};

#endif // WSENDPOINT_H
