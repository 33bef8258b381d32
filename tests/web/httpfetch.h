#ifndef HTTPFETCH_H
#define HTTPFETCH_H

#include <QByteArray>
#include <QHash>
#include <QNetworkAccessManager>
#include <QUrl>

// One HTTP exchange, waited for: through Qt's client for well-formed
// requests, on a bare socket for the bytes no client would send.
struct HttpReply
{
    int status = 0;
    QHash<QByteArray, QByteArray> headers; // names in lower case
    QByteArray body;

    QByteArray header(const char *name) const { return headers.value(QByteArray(name)); }
};

class HttpFetch
{
public:
    HttpReply get(const QUrl &url, const QByteArray &ifNoneMatch = QByteArray());
    HttpReply send(const QByteArray &verb, const QUrl &url, const QByteArray &body);
    // The head of the server's answer (or what came before it closed).
    static QByteArray raw(const QHostAddress &address, quint16 port, const QByteArray &bytes);

private:
    HttpReply wait(class QNetworkReply *reply);

    QNetworkAccessManager m_manager;
};

#endif // HTTPFETCH_H
