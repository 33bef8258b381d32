#include "httpfetch.h"

#include <QElapsedTimer>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTest>

HttpReply HttpFetch::get(const QUrl &url, const QByteArray &ifNoneMatch)
{
    QNetworkRequest request(url);
    if (!ifNoneMatch.isEmpty())
        request.setRawHeader("If-None-Match", ifNoneMatch);
    return wait(m_manager.get(request));
}

HttpReply HttpFetch::send(const QByteArray &verb, const QUrl &url, const QByteArray &body)
{
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
    return wait(m_manager.sendCustomRequest(request, verb, body));
}

HttpReply HttpFetch::wait(QNetworkReply *reply)
{
    QSignalSpy finished(reply, &QNetworkReply::finished);
    if (!reply->isFinished())
        finished.wait(10000);
    HttpReply result;
    result.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    for (const QNetworkReply::RawHeaderPair &pair : reply->rawHeaderPairs())
        result.headers.insert(pair.first.toLower(), pair.second);
    result.body = reply->readAll();
    reply->deleteLater();
    return result;
}

// The server runs in this thread: the wait turns its event loop.
QByteArray HttpFetch::raw(const QHostAddress &address, quint16 port, const QByteArray &bytes)
{
    QTcpSocket socket;
    QByteArray answer;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&socket, &bytes] { socket.write(bytes); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&socket, &answer] { answer += socket.readAll(); });
    socket.connectToHost(address, port);
    QElapsedTimer timer;
    timer.start();
    while (!answer.contains("\r\n\r\n") && timer.elapsed() < 10000)
        QTest::qWait(20);
    return answer;
}
