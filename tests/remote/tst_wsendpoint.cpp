// The WebSocket endpoint with a real client on the loopback, against a
// stand-in for the operator's actions.

#include "fakeactions.h"
#include "fakestation.h"

#include <remoteserver.h>

#include <solostation.h>
#include <sessionstore.h>
#include <stationdispatcher.h>
#include <wsendpoint.h>

#include <QNetworkProxy>
#include <QNetworkRequest>
#include <QTcpServer>
#include <QWebSocket>
#include <QtTest>

class TestWsEndpoint : public QObject
{
    Q_OBJECT

private slots:
    void goneClientsCallsNeverRun();
    void listensPastAnApplicationProxy();
    void sequenceChangesReachSubscribersOnly();
    void onlyThePageMayOpenFromABrowser();
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 0;
    return probe.serverPort();
}

// One processor's stand-in behind a WebSocket endpoint without a token.
struct SoloEndpoint
{
    FakeActions actions;
    SoloStation station{&actions, QStringLiteral("Main")};
    StationDispatcher dispatcher{&station};
    SessionStore sessions;
    WsEndpoint endpoint{&dispatcher, QString(), &sessions};
};

} // namespace

// The link goes idle in the very turn the client is seen to go, before its
// connection object is destroyed: its waiting recalls must not run then.
void TestWsEndpoint::goneClientsCallsNeverRun()
{
    SoloEndpoint solo;
    FakeActions &actions = solo.actions;
    WsEndpoint &endpoint = solo.endpoint;
    const quint16 port = freePort();
    QVERIFY(endpoint.listen(QHostAddress::LocalHost, port, false));
    connect(&endpoint, &WsEndpoint::clientsChanged, &actions, [&] {
        if (endpoint.clients() == 0)
            actions.answer();
    });

    QWebSocket client;
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(port)));
    QTRY_COMPARE_WITH_TIMEOUT(endpoint.clients(), 1, 10000);
    // The server counts the client before the client has read the
    // handshake's answer; what it sends before then is dropped.
    QTRY_COMPARE_WITH_TIMEOUT(client.state(), QAbstractSocket::ConnectedState, 10000);
    for (int preset = 1; preset <= 11; ++preset) {
        client.sendTextMessage(
            QStringLiteral(R"({"jsonrpc":"2.0","id":%1,"method":"preset.recall","params":{"preset":%1}})").arg(preset));
    }
    QTRY_COMPARE_WITH_TIMEOUT(actions.recalled.size(), 1, 10000);
    QVERIFY(actions.linkBusy);
    client.close();
    QTRY_COMPARE_WITH_TIMEOUT(endpoint.clients(), 0, 10000);
    QCOMPARE(actions.recalled, QList<int>{0});
}

// A control server on the LAN has no proxy to go through (Qt asks none
// for the loopback): one set for the whole application, here one where
// nothing answers, is not asked, nor is the system's.
void TestWsEndpoint::listensPastAnApplicationProxy()
{
    SoloEndpoint solo;
    WsEndpoint &endpoint = solo.endpoint;
    const quint16 port = freePort();
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::Socks5Proxy, QStringLiteral("127.0.0.1"), freePort()));
    const bool listening = endpoint.listen(QHostAddress::AnyIPv4, port, false);
    QNetworkProxy::setApplicationProxy(QNetworkProxy());
    QVERIFY2(listening, qPrintable(endpoint.errorString()));

    QWebSocket client;
    client.open(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(port)));
    QTRY_COMPARE_WITH_TIMEOUT(endpoint.clients(), 1, 10000);
}

// A browser names the page that opens the connection: the program's own
// tablet page is let in, any other page is turned away, and a client that
// is not a browser (no Origin) is let in as before.
void TestWsEndpoint::onlyThePageMayOpenFromABrowser()
{
    SoloEndpoint solo;
    WsEndpoint &endpoint = solo.endpoint;
    const quint16 port = freePort();
    endpoint.setPagePort(8480);
    QVERIFY(endpoint.listen(QHostAddress::LocalHost, port, false));
    // Let in: a call is answered. Turned away: closed after the handshake.
    const auto opens = [port](const QString &origin) {
        QNetworkRequest request(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(port)));
        if (!origin.isEmpty())
            request.setRawHeader("Origin", origin.toUtf8());
        QWebSocket client;
        bool answered = false;
        QObject::connect(&client, &QWebSocket::textMessageReceived, [&answered] { answered = true; });
        QObject::connect(&client, &QWebSocket::connected, [&client] {
            client.sendTextMessage(QStringLiteral(R"({"jsonrpc":"2.0","id":1,"method":"status"})"));
        });
        client.open(request);
        return QTest::qWaitFor([&] { return answered || client.state() == QAbstractSocket::UnconnectedState; }, 10000)
            && answered;
    };
    QVERIFY(opens(QString()));
    QVERIFY(opens(QStringLiteral("http://127.0.0.1:8480")));
    QVERIFY(!opens(QStringLiteral("http://evil.example")));
    QVERIFY(!opens(QStringLiteral("http://127.0.0.1:8481")));
    endpoint.setPagePort(0);
    QVERIFY(!opens(QStringLiteral("http://127.0.0.1:8480")));
}

// A sequence that moves on is pushed to the clients that asked for it,
// and to no other.
void TestWsEndpoint::sequenceChangesReachSubscribersOnly()
{
    FakeStation station;
    RemoteServer server(&station);
    RemoteSettings settings;
    settings.enabled = true;
    settings.wsPort = freePort();
    settings.oscPort = freePort();
    QVERIFY2(server.start(settings), qPrintable(server.errorString()));

    QList<QJsonObject> heard[2];
    QWebSocket clients[2];
    for (int n = 0; n < 2; ++n) {
        connect(&clients[n], &QWebSocket::textMessageReceived, this, [&heard, n](const QString &message) {
            heard[n] << QJsonDocument::fromJson(message.toUtf8()).object();
        });
        clients[n].open(QUrl(QStringLiteral("ws://127.0.0.1:%1/").arg(settings.wsPort)));
        QTRY_COMPARE_WITH_TIMEOUT(clients[n].state(), QAbstractSocket::ConnectedState, 10000);
    }
    clients[0].sendTextMessage(
        QStringLiteral(R"({"jsonrpc":"2.0","id":1,"method":"subscribe","params":{"topics":["sequence.changed"]}})"));
    clients[1].sendTextMessage(
        QStringLiteral(R"({"jsonrpc":"2.0","id":1,"method":"subscribe","params":{"topics":["look.recalled"]}})"));
    QTRY_COMPARE_WITH_TIMEOUT(heard[0].size() + heard[1].size(), 2, 10000);

    emit station.sequenceChanged({QStringLiteral("Walk-in"), RemoteStation::SequenceState::Paused, 2, 4, 3.04, true});
    QTRY_COMPARE_WITH_TIMEOUT(heard[0].size(), 2, 10000);
    const QJsonObject pushed = heard[0].last();
    QCOMPARE(pushed.value("method").toString(), QStringLiteral("sequence.changed"));
    const QJsonObject status = pushed.value("params").toObject();
    QCOMPARE(status.value("name").toString(), QStringLiteral("Walk-in"));
    QCOMPARE(status.value("state").toString(), QStringLiteral("paused"));
    QCOMPARE(status.value("step").toInt(), 3);
    QCOMPARE(status.value("timeLeft").toDouble(), 3.0);
    // Anything pushed to the other would have come before this answer.
    clients[1].sendTextMessage(QStringLiteral(R"({"jsonrpc":"2.0","id":2,"method":"sequences.list"})"));
    QTRY_COMPARE_WITH_TIMEOUT(heard[1].size(), 2, 10000);
    QCOMPARE(heard[1].last().value("id").toInt(), 2);
}

QTEST_GUILESS_MAIN(TestWsEndpoint)
#include "tst_wsendpoint.moc"
