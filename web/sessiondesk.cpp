#include "sessiondesk.h"

#include "pagereply.h"

#include <remotelog.h>
#include <sessionstore.h>

#include <QHttpServerRequest>
#include <QJsonDocument>
#include <QJsonObject>

#include <chrono>

namespace {

using Status = QHttpServerResponse::StatusCode;

const QByteArray BadBody = QByteArrayLiteral("the body must be a JSON object such as {\"pin\":\"1234\"}");

// The PIN given, or a null string when the body is no such object.
QString pinOf(const QByteArray &body)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return QString();
    const QJsonValue pin = document.object().value(QStringLiteral("pin"));
    return pin.isString() ? pin.toString() : QString();
}

} // namespace

SessionDesk::SessionDesk(SessionStore *sessions, QObject *parent)
    : QObject(parent)
    , m_sessions(sessions)
{
}

QHttpServerResponse SessionDesk::answer(const QHttpServerRequest &request)
{
    const QHostAddress peer = request.remoteAddress();
    if (request.body().size() > MaxBodyBytes)
        return PageReply::text(Status::PayloadTooLarge, "the body is over 1 KiB");
    if (peer.isLoopback())
        return opened();
    if (const int wait = m_throttle.waitFor(peer)) {
        QHttpServerResponse response =
            PageReply::text(Status::TooManyRequests, "too many wrong PINs; try again in " + QByteArray::number(wait) + " s");
        response.setHeader(QByteArrayLiteral("Retry-After"), QByteArray::number(wait));
        return response;
    }
    const QString pin = pinOf(request.body());
    if (pin.isNull())
        return PageReply::text(Status::BadRequest, BadBody);
    if (!m_sessions->pinSet())
        return PageReply::text(Status::Forbidden, "no PIN is set in the program (Remote Control dialog)");
    if (!m_sessions->pinMatches(pin)) {
        m_throttle.refused(peer);
        qCWarning(lcRemote) << "wrong PIN for the tablet page from" << peer.toString();
        emit pinRefused(peer);
        return PageReply::text(Status::Forbidden, "wrong PIN");
    }
    return opened();
}

QHttpServerResponse SessionDesk::opened()
{
    const auto lifetime = std::chrono::duration_cast<std::chrono::seconds>(m_sessions->lifetime());
    return PageReply::json({{QStringLiteral("token"), m_sessions->open()},
                            {QStringLiteral("expiresIn"), qint64(lifetime.count())}});
}
