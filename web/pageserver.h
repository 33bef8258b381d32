#ifndef PAGESERVER_H
#define PAGESERVER_H

#include "pagefiles.h"

#include <remotesettings.h>

#include <QHostAddress>
#include <QHttpServerResponse>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>

class GuardedTcpServer;
class QHttpServer;
class QHttpServerRequest;
class SessionDesk;
class SessionStore;

// The tablet page over HTTP, beside the remote control and on its address:
// the page's files, /config.json (the WebSocket port, the language, whether
// a PIN is asked) and POST /session. The page then speaks JSON-RPC to the
// remote control's WebSocket with the session's token. GET and POST only,
// unknown paths 404, every answer with the page's security headers.
class PageServer : public QObject
{
    Q_OBJECT

public:
    explicit PageServer(SessionStore *sessions, QObject *parent = nullptr);
    ~PageServer() override;

    // Stops, then listens when the settings have the remote control and
    // the page on; false, with errorString() and nothing listening, when
    // it cannot.
    bool start(const RemoteSettings &settings);
    void stop();
    bool listening() const { return m_http != nullptr; }
    quint16 port() const { return m_port; }
    QString errorString() const { return m_error; }
    void setEnglish(bool english) { m_english = english; }

signals:
    void pinRefused(const QHostAddress &address);

private:
    using Handler = std::function<QHttpServerResponse(const QHttpServerRequest &)>;

    void serve(const QString &path, bool post, const Handler &handler);
    std::optional<QHttpServerResponse> refusal(const QHttpServerRequest &request, bool post) const;
    QHttpServerResponse file(const QHttpServerRequest &request) const;
    QHttpServerResponse config(const QHttpServerRequest &request) const;
    QHttpServerResponse secured(QHttpServerResponse &&response, const QHttpServerRequest &request) const;

    SessionDesk *m_desk;
    PageFiles m_files;
    std::unique_ptr<QHttpServer> m_http;
    quint16 m_port = 0;
    quint16 m_wsPort = 0;
    bool m_english = false;
    QString m_error;
};

#endif // PAGESERVER_H
