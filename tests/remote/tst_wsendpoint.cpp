// The WebSocket endpoint with a real client on the loopback, against a
// stand-in for the operator's actions.

#include "fakeactions.h"

#include <solostation.h>
#include <stationdispatcher.h>
#include <wsendpoint.h>

#include <QTcpServer>
#include <QWebSocket>
#include <QtTest>

class TestWsEndpoint : public QObject
{
    Q_OBJECT

private slots:
    void goneClientsCallsNeverRun();
};

// The link goes idle in the very turn the client is seen to go, before its
// connection object is destroyed: its waiting recalls must not run then.
void TestWsEndpoint::goneClientsCallsNeverRun()
{
    FakeActions actions;
    SoloStation station(&actions, QStringLiteral("Main"));
    StationDispatcher dispatcher(&station);
    WsEndpoint endpoint(&dispatcher, QString());
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 port = probe.serverPort();
    probe.close();
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

QTEST_GUILESS_MAIN(TestWsEndpoint)
#include "tst_wsendpoint.moc"
