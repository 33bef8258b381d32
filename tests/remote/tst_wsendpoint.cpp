// The WebSocket endpoint with a real client on the loopback, against a
// stand-in for the operator's actions.

#include "fakeactions.h"

#include <solostation.h>
#include <sessionstore.h>
#include <stationdispatcher.h>
#include <wsendpoint.h>

#include <QNetworkProxy>
#include <QTcpServer>
#include <QWebSocket>
#include <QtTest>

class TestWsEndpoint : public QObject
{
    Q_OBJECT

private slots:
    void goneClientsCallsNeverRun();
    void listensPastAnApplicationProxy();
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost))
        return 0;
    return probe.serverPort();
}

} // namespace

// The link goes idle in the very turn the client is seen to go, before its
// connection object is destroyed: its waiting recalls must not run then.
void TestWsEndpoint::goneClientsCallsNeverRun()
{
    FakeActions actions;
    SoloStation station(&actions, QStringLiteral("Main"));
    StationDispatcher dispatcher(&station);
    SessionStore sessions;
    WsEndpoint endpoint(&dispatcher, QString(), &sessions);
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
    FakeActions actions;
    SoloStation station(&actions, QStringLiteral("Main"));
    StationDispatcher dispatcher(&station);
    SessionStore sessions;
    WsEndpoint endpoint(&dispatcher, QString(), &sessions);
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

QTEST_GUILESS_MAIN(TestWsEndpoint)
#include "tst_wsendpoint.moc"
