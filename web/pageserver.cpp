#include "pageserver.h"

#include "guardedtcpserver.h"
#include "pagereply.h"
#include "sessiondesk.h"
#include "weblog.h"

#include <sessionstore.h>

#include <QHttpServer>
#include <QHttpServerRequest>
#include <QRegularExpression>

namespace {

using Status = QHttpServerResponse::StatusCode;
using Method = QHttpServerRequest::Method;

const QStringList FilePaths{QStringLiteral("/"), QStringLiteral("/index.html"), QStringLiteral("/app.js"),
                            QStringLiteral("/style.css")};

// The host part of a Host header (a name, an IPv4 address or a bracketed
// IPv6 one), empty when it is none: it goes into the page's policy.
QByteArray hostOf(const QByteArray &header)
{
    static const QRegularExpression Host(QStringLiteral(R"(^([A-Za-z0-9.-]{1,253}|\[[0-9A-Fa-f:.]{2,45}\])(:[0-9]{1,5})?$)"));
    const QRegularExpressionMatch match = Host.match(QString::fromLatin1(header));
    return match.hasMatch() ? match.captured(1).toLatin1() : QByteArray();
}

} // namespace

PageServer::PageServer(SessionStore *sessions, QObject *parent)
    : QObject(parent)
    , m_desk(new SessionDesk(sessions, this))
{
    connect(m_desk, &SessionDesk::pinRefused, this, &PageServer::pinRefused);
}

PageServer::~PageServer() = default;

bool PageServer::start(const RemoteSettings &settings)
{
    stop();
    m_error.clear();
    if (!settings.enabled || !settings.page)
        return true;
    auto http = std::make_unique<QHttpServer>();
    auto *tcp = new GuardedTcpServer(settings.oscAllow, http.get());
    if (!tcp->listen(settings.listen, settings.httpPort)) {
        m_error = QStringLiteral("page port %1: %2").arg(settings.httpPort).arg(tcp->errorString());
        qCWarning(lcWeb) << "tablet page not started:" << m_error;
        return false;
    }
    http->bind(tcp);
    m_http = std::move(http);
    m_port = tcp->serverPort();
    m_wsPort = settings.wsPort;
    for (const QString &path : FilePaths)
        serve(path, false, [this](const QHttpServerRequest &request) { return file(request); });
    serve(QStringLiteral("/config.json"), false, [this](const QHttpServerRequest &request) { return config(request); });
    serve(QStringLiteral("/session"), true, [this](const QHttpServerRequest &request) { return m_desk->answer(request); });
    m_http->setMissingHandler([this](const QHttpServerRequest &request, QHttpServerResponder &&responder) {
        const bool known = request.method() == Method::Get || request.method() == Method::Post;
        secured(known ? PageReply::text(Status::NotFound, "no such page")
                      : PageReply::text(Status::MethodNotAllowed, "only GET and POST are served"),
                request)
            .write(std::move(responder));
    });
    qCInfo(lcWeb) << "tablet page on" << settings.listen.toString() << "port" << m_port;
    return true;
}

void PageServer::stop()
{
    m_http.reset();
    m_port = 0;
}

void PageServer::serve(const QString &path, bool post, const Handler &handler)
{
    m_http->route(path, [this, post, handler](const QHttpServerRequest &request) {
        std::optional<QHttpServerResponse> refused = refusal(request, post);
        return secured(refused ? std::move(*refused) : handler(request), request);
    });
}

std::optional<QHttpServerResponse> PageServer::refusal(const QHttpServerRequest &request, bool post) const
{
    const Method wanted = post ? Method::Post : Method::Get;
    if (request.method() != wanted) {
        QHttpServerResponse response = PageReply::text(Status::MethodNotAllowed, post ? "use POST" : "use GET");
        response.setHeader(QByteArrayLiteral("Allow"), post ? QByteArrayLiteral("POST") : QByteArrayLiteral("GET"));
        return response;
    }
    if (hostOf(request.value(QByteArrayLiteral("Host"))).isEmpty())
        return PageReply::text(Status::BadRequest, "the Host header is missing or not a host");
    return std::nullopt;
}

QHttpServerResponse PageServer::file(const QHttpServerRequest &request) const
{
    const PageFiles::File *served = m_files.find(request.url().path());
    if (!served)
        return PageReply::text(Status::NotFound, "no such page");
    QHttpServerResponse response = request.value(QByteArrayLiteral("If-None-Match")) == served->etag
                                       ? QHttpServerResponse(Status::NotModified)
                                       : QHttpServerResponse(served->mimeType, served->body);
    response.setHeader(QByteArrayLiteral("ETag"), served->etag);
    response.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-cache"));
    return response;
}

QHttpServerResponse PageServer::config(const QHttpServerRequest &request) const
{
    return PageReply::json({{QStringLiteral("wsPort"), m_wsPort},
                            {QStringLiteral("language"), m_english ? QStringLiteral("en") : QStringLiteral("zh")},
                            {QStringLiteral("pinNeeded"), !request.remoteAddress().isLoopback()}});
}

// The page reaches nothing but itself and the remote control's WebSocket
// on the host it was loaded from, and is never framed.
QHttpServerResponse PageServer::secured(QHttpServerResponse &&response, const QHttpServerRequest &request) const
{
    const QByteArray host = hostOf(request.value(QByteArrayLiteral("Host")));
    const QByteArray socket = host.isEmpty() ? QByteArrayLiteral("'none'")
                                             : "ws://" + host + ':' + QByteArray::number(m_wsPort);
    response.setHeader(QByteArrayLiteral("Content-Security-Policy"),
                       "default-src 'self'; connect-src 'self' " + socket +
                           "; img-src 'self' data:; frame-ancestors 'none'; base-uri 'none'; form-action 'none'");
    response.setHeader(QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff"));
    response.setHeader(QByteArrayLiteral("X-Frame-Options"), QByteArrayLiteral("DENY"));
    response.setHeader(QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer"));
    response.setHeader(QByteArrayLiteral("Connection"), QByteArrayLiteral("close"));
    return std::move(response);
}
