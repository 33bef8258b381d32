// The tablet page's server on real sockets: Qt's client for what a
// browser sends, a bare socket for what none would. The PIN's cases come
// from an address of this machine beyond the loopback, as a tablet's do.

#include "fakeactions.h"
#include "httpfetch.h"

#include <pageserver.h>
#include <pinhash.h>
#include <remoteserver.h>
#include <solostation.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QWebSocket>
#include <QtTest>

namespace {

const QString Pin = QStringLiteral("402718");

quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress::AnyIPv4) ? probe.serverPort() : 0;
}

QHostAddress lanAddress()
{
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    for (const QHostAddress &address : own) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback())
            return address;
    }
    return QHostAddress();
}

// The remote control and its page on every address, a token and a PIN
// set, this machine's own address beyond the loopback allowed.
struct Station
{
    FakeActions actions;
    SoloStation station{&actions, QStringLiteral("Main")};
    RemoteServer remote{&station};
    PageServer page{remote.sessions()};
    RemoteSettings settings;

    Station()
    {
        settings.enabled = true;
        settings.page = true;
        settings.listen = QHostAddress::AnyIPv4;
        settings.token = QStringLiteral("the-remote-token");
        settings.pinHash = PinHash::make(Pin);
        settings.oscPort = freePort();
        settings.wsPort = freePort();
        settings.httpPort = freePort();
        if (!lanAddress().isNull())
            settings.oscAllow = {lanAddress()};
    }
    bool start() { return remote.start(settings) && page.start(settings); }
    QUrl url(const QHostAddress &host, const QString &path) const
    {
        return QUrl(QStringLiteral("http://%1:%2%3").arg(host.toString()).arg(settings.httpPort).arg(path));
    }
};

// The error code of a status request over the WebSocket, 0 when answered.
int statusError(quint16 port, const QString &token)
{
    QWebSocket client;
    QSignalSpy answered(&client, &QWebSocket::textMessageReceived);
    QObject::connect(&client, &QWebSocket::connected, &client, [&client] {
        client.sendTextMessage(QStringLiteral(R"({"jsonrpc":"2.0","id":1,"method":"status"})"));
    });
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/?token=%2").arg(port).arg(token)));
    if (!answered.wait(10000))
        return -1;
    const QJsonObject answer = QJsonDocument::fromJson(answered.first().first().toString().toUtf8()).object();
    return answer.value(QStringLiteral("error")).toObject().value(QStringLiteral("code")).toInt();
}

QString tokenOf(const HttpReply &reply)
{
    return QJsonDocument::fromJson(reply.body).object().value(QStringLiteral("token")).toString();
}

} // namespace

class TestPageServer : public QObject
{
    Q_OBJECT

private slots:
    void filesServedWithTypesCachingAndPolicy();
    void wrongRequestsAnsweredPlainly();
    void oversizeRequestsRefusedUnread();
    void configTellsWhereAndWhether();
    void wrongPinsSlowedDownAndReported();
    void goodPinOpensTheWebSocket();
    void malformedSessionRequestsReachNothing();
    void changedPinRevokesSessions();
    void addressesBeyondTheAllowListRefused();
    void offUnlessAsked();
};

void TestPageServer::filesServedWithTypesCachingAndPolicy()
{
    Station s;
    QVERIFY(s.start());
    HttpFetch fetch;
    const QList<QPair<QString, QByteArray>> files{{QStringLiteral("/"), "text/html; charset=utf-8"},
                                                  {QStringLiteral("/app.js"), "text/javascript; charset=utf-8"},
                                                  {QStringLiteral("/style.css"), "text/css; charset=utf-8"}};
    for (const auto &file : files) {
        const HttpReply reply = fetch.get(s.url(QHostAddress::LocalHost, file.first));
        QCOMPARE(reply.status, 200);
        QCOMPARE(reply.header("content-type"), file.second);
        QCOMPARE(reply.header("cache-control"), QByteArray("no-cache"));
        QCOMPARE(reply.header("x-content-type-options"), QByteArray("nosniff"));
        const QByteArray policy = reply.header("content-security-policy");
        QVERIFY2(policy.contains("default-src 'self'") && policy.contains("frame-ancestors 'none'"), policy);
        QVERIFY2(policy.contains("ws://127.0.0.1:" + QByteArray::number(s.settings.wsPort)), policy);
        QVERIFY(!reply.body.isEmpty());
        const QByteArray etag = reply.header("etag");
        QVERIFY(!etag.isEmpty());
        const HttpReply again = fetch.get(s.url(QHostAddress::LocalHost, file.first), etag);
        QCOMPARE(again.status, 304);
        QVERIFY(again.body.isEmpty());
    }
}

void TestPageServer::wrongRequestsAnsweredPlainly()
{
    Station s;
    QVERIFY(s.start());
    HttpFetch fetch;
    const HttpReply missing = fetch.get(s.url(QHostAddress::LocalHost, QStringLiteral("/secret.txt")));
    QCOMPARE(missing.status, 404);
    QCOMPARE(missing.header("content-type"), QByteArray("text/plain; charset=utf-8"));
    QVERIFY(!missing.header("content-security-policy").isEmpty());
    // Qt's rules are patterns: the dot of a file's name is no wildcard.
    QCOMPARE(fetch.get(s.url(QHostAddress::LocalHost, QStringLiteral("/appxjs"))).status, 404);
    QCOMPARE(fetch.send("DELETE", s.url(QHostAddress::LocalHost, QStringLiteral("/")), QByteArray()).status, 405);
    QCOMPARE(fetch.send("PUT", s.url(QHostAddress::LocalHost, QStringLiteral("/session")), "{}").status, 405);
    QCOMPARE(fetch.get(s.url(QHostAddress::LocalHost, QStringLiteral("/session"))).status, 405);
    QCOMPARE(fetch.send("POST", s.url(QHostAddress::LocalHost, QStringLiteral("/app.js")), "{}").status, 405);
    const QByteArray noHost = HttpFetch::raw(QHostAddress::LocalHost, s.settings.httpPort,
                                             "GET / HTTP/1.1\r\nHost: <script>\r\n\r\n");
    QVERIFY2(noHost.startsWith("HTTP/1.1 400"), noHost);
}

void TestPageServer::oversizeRequestsRefusedUnread()
{
    Station s;
    QVERIFY(s.start());
    const QByteArray bigHead = "GET / HTTP/1.1\r\nHost: 127.0.0.1\r\nX-Filler: " + QByteArray(9000, 'a') + "\r\n\r\n";
    const QByteArray head = HttpFetch::raw(QHostAddress::LocalHost, s.settings.httpPort, bigHead);
    QVERIFY2(head.startsWith("HTTP/1.1 431"), head.left(200));
    QVERIFY(head.contains("over 8 KiB"));
    const QByteArray body(20000, '1');
    const QByteArray bigBody = "POST /session HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n"
                               "Content-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body;
    const QByteArray large = HttpFetch::raw(QHostAddress::LocalHost, s.settings.httpPort, bigBody);
    QVERIFY2(large.startsWith("HTTP/1.1 413"), large.left(200));
    // Within the connection's bound, over the session's own.
    HttpFetch fetch;
    const HttpReply over = fetch.send("POST", s.url(QHostAddress::LocalHost, QStringLiteral("/session")),
                                      "{\"pin\":\"" + QByteArray(2000, '1') + "\"}");
    QCOMPARE(over.status, 413);
    QCOMPARE(s.remote.sessions()->size(), 0);
}

void TestPageServer::configTellsWhereAndWhether()
{
    Station s;
    QVERIFY(s.start());
    s.page.setEnglish(true);
    HttpFetch fetch;
    const HttpReply local = fetch.get(s.url(QHostAddress::LocalHost, QStringLiteral("/config.json")));
    QCOMPARE(local.status, 200);
    QCOMPARE(local.header("content-type"), QByteArray("application/json"));
    const QJsonObject config = QJsonDocument::fromJson(local.body).object();
    QCOMPARE(config.value(QStringLiteral("wsPort")).toInt(), int(s.settings.wsPort));
    QCOMPARE(config.value(QStringLiteral("language")).toString(), QStringLiteral("en"));
    QCOMPARE(config.value(QStringLiteral("pinNeeded")).toBool(), false);
    s.page.setEnglish(false);
    const QJsonObject chinese =
        QJsonDocument::fromJson(fetch.get(s.url(QHostAddress::LocalHost, QStringLiteral("/config.json"))).body).object();
    QCOMPARE(chinese.value(QStringLiteral("language")).toString(), QStringLiteral("zh"));
    const QHostAddress lan = lanAddress();
    if (lan.isNull())
        QSKIP("this machine has no address beyond the loopback");
    const QJsonObject remote = QJsonDocument::fromJson(fetch.get(s.url(lan, QStringLiteral("/config.json"))).body).object();
    QCOMPARE(remote.value(QStringLiteral("pinNeeded")).toBool(), true);
}

void TestPageServer::wrongPinsSlowedDownAndReported()
{
    const QHostAddress lan = lanAddress();
    if (lan.isNull())
        QSKIP("this machine has no address beyond the loopback");
    Station s;
    QVERIFY(s.start());
    QSignalSpy refused(&s.page, &PageServer::pinRefused);
    HttpFetch fetch;
    const QUrl session = s.url(lan, QStringLiteral("/session"));
    for (int i = 0; i < 5; ++i) {
        const HttpReply wrong = fetch.send("POST", session, R"({"pin":"1111"})");
        QCOMPARE(wrong.status, 403);
        QVERIFY(wrong.body.contains("wrong PIN"));
    }
    QCOMPARE(refused.size(), 5);
    QCOMPARE(refused.first().first().value<QHostAddress>(), lan);
    const HttpReply sixth = fetch.send("POST", session, ("{\"pin\":\"" + Pin + "\"}").toUtf8());
    QCOMPARE(sixth.status, 429);
    const int wait = sixth.header("retry-after").toInt();
    QVERIFY2(wait > 0 && wait <= 60, sixth.header("retry-after"));
    QVERIFY(tokenOf(sixth).isEmpty());
    QCOMPARE(s.remote.sessions()->size(), 0);
    // The loopback is not the address slowed down.
    QCOMPARE(fetch.send("POST", s.url(QHostAddress::LocalHost, QStringLiteral("/session")), "{}").status, 200);
}

void TestPageServer::goodPinOpensTheWebSocket()
{
    const QHostAddress lan = lanAddress();
    if (lan.isNull())
        QSKIP("this machine has no address beyond the loopback");
    Station s;
    QVERIFY(s.start());
    HttpFetch fetch;
    const HttpReply good = fetch.send("POST", s.url(lan, QStringLiteral("/session")), ("{\"pin\":\"" + Pin + "\"}").toUtf8());
    QCOMPARE(good.status, 200);
    QCOMPARE(good.header("cache-control"), QByteArray("no-store"));
    const QString token = tokenOf(good);
    QVERIFY(token.size() >= 22); // 128 bits and more in Base64
    QCOMPARE(statusError(s.settings.wsPort, token), 0);
    QCOMPARE(statusError(s.settings.wsPort, QStringLiteral("AAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAAA")), -32003);
    QCOMPARE(statusError(s.settings.wsPort, QString()), -32003);
    // Nothing of the PIN, nor of its digest, in anything the server says.
    const QByteArray salt = s.settings.pinHash.section(QLatin1Char(':'), 2, 2).toLatin1();
    const QList<QByteArray> bodies{good.body, fetch.get(s.url(lan, QStringLiteral("/config.json"))).body,
                                   fetch.get(s.url(lan, QStringLiteral("/"))).body,
                                   fetch.get(s.url(lan, QStringLiteral("/app.js"))).body};
    for (const QByteArray &body : bodies)
        QVERIFY(!body.contains(Pin.toUtf8()) && !body.contains(salt));
    for (const QByteArray &value : good.headers)
        QVERIFY(!value.contains(Pin.toUtf8()));
}

void TestPageServer::malformedSessionRequestsReachNothing()
{
    const QHostAddress lan = lanAddress();
    if (lan.isNull())
        QSKIP("this machine has no address beyond the loopback");
    Station s;
    QVERIFY(s.start());
    QSignalSpy refused(&s.page, &PageServer::pinRefused);
    HttpFetch fetch;
    const QList<QByteArray> bodies{"{\"pin\":", "[\"402718\"]", "{\"pin\":402718}", "",
                                   R"({"jsonrpc":"2.0","id":1,"method":"preset.recall","params":{"preset":3}})"};
    for (const QByteArray &body : bodies) {
        const HttpReply reply = fetch.send("POST", s.url(lan, QStringLiteral("/session")), body);
        QCOMPARE(reply.status, 400);
        QVERIFY2(reply.body.contains("JSON object"), reply.body);
    }
    QVERIFY(s.actions.recalled.isEmpty());
    QCOMPARE(s.remote.sessions()->size(), 0);
    QCOMPARE(refused.size(), 0);
}

void TestPageServer::changedPinRevokesSessions()
{
    Station s;
    QVERIFY(s.start());
    HttpFetch fetch;
    const QString token = tokenOf(fetch.send("POST", s.url(QHostAddress::LocalHost, QStringLiteral("/session")), "{}"));
    QCOMPARE(statusError(s.settings.wsPort, token), 0);
    QVERIFY(s.start()); // the same PIN: the session holds
    QCOMPARE(statusError(s.settings.wsPort, token), 0);
    s.settings.pinHash = PinHash::make(QStringLiteral("9999"));
    QVERIFY(s.start());
    QCOMPARE(statusError(s.settings.wsPort, token), -32003);
}

void TestPageServer::addressesBeyondTheAllowListRefused()
{
    const QHostAddress lan = lanAddress();
    if (lan.isNull())
        QSKIP("this machine has no address beyond the loopback");
    Station s;
    s.settings.oscAllow = {QHostAddress(QStringLiteral("10.99.99.99"))};
    QVERIFY(s.start());
    HttpFetch fetch;
    const HttpReply refused = fetch.get(s.url(lan, QStringLiteral("/")));
    QCOMPARE(refused.status, 403);
    QVERIFY(refused.body.contains("may not use the page"));
    QCOMPARE(fetch.send("POST", s.url(lan, QStringLiteral("/session")), ("{\"pin\":\"" + Pin + "\"}").toUtf8()).status, 403);
    QCOMPARE(s.remote.sessions()->size(), 0);
    QCOMPARE(fetch.get(s.url(QHostAddress::LocalHost, QStringLiteral("/"))).status, 200);
}

void TestPageServer::offUnlessAsked()
{
    Station s;
    s.settings.page = false;
    QVERIFY(s.start());
    QVERIFY(!s.page.listening());
    s.settings.page = true;
    s.settings.enabled = false;
    QVERIFY(s.start());
    QVERIFY(!s.page.listening());
}

QTEST_MAIN(TestPageServer)
#include "tst_pageserver.moc"
