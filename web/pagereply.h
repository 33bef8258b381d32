#ifndef PAGEREPLY_H
#define PAGEREPLY_H

#include <QByteArray>
#include <QHttpServerResponse>
#include <QJsonObject>

// The page server's answers that are not files: a short plain text that
// says what was wrong, or a small JSON object.
namespace PageReply {

QHttpServerResponse text(QHttpServerResponse::StatusCode status, const QByteArray &text);
QHttpServerResponse json(const QJsonObject &object);
// The same plain text as raw HTTP, for a connection refused before Qt
// parsed a request of it; the connection is then closed.
QByteArray raw(int status, const QByteArray &reason, const QByteArray &text);

} // namespace PageReply

#endif // PAGEREPLY_H
