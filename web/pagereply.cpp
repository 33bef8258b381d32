#include "pagereply.h"

#include <QJsonDocument>

namespace {

const QByteArray PlainText = QByteArrayLiteral("text/plain; charset=utf-8");

} // namespace

namespace PageReply {

QHttpServerResponse text(QHttpServerResponse::StatusCode status, const QByteArray &text)
{
    return QHttpServerResponse(PlainText, text + '\n', status);
}

QHttpServerResponse json(const QJsonObject &object)
{
    QHttpServerResponse response(QByteArrayLiteral("application/json"),
                                 QJsonDocument(object).toJson(QJsonDocument::Compact));
    response.setHeader(QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store"));
    return response;
}

QByteArray raw(int status, const QByteArray &reason, const QByteArray &text)
{
    const QByteArray body = text + '\n';
    return "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason + "\r\n"
           "Content-Type: " + PlainText + "\r\n"
           "Content-Length: " + QByteArray::number(body.size()) + "\r\n"
           "X-Content-Type-Options: nosniff\r\n"
           "Connection: close\r\n\r\n" + body;
}

} // namespace PageReply
