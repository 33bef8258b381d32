// The OSC endpoint over real UDP on the loopback, against a stand-in for
// the operator's actions: nothing it is sent may make it talk to itself.

#include "fakeactions.h"
#include "oscbytes.h"

#include <oscendpoint.h>
#include <oscmessage.h>
#include <remotecall.h>
#include <solostation.h>
#include <stationdispatcher.h>

#include <QNetworkDatagram>
#include <QNetworkProxy>
#include <QUdpSocket>
#include <QtTest>

#include <cstring>

namespace {

// The address of a datagram and its first argument when an int.
struct Heard
{
    QString path;
    int first = 0;
};

Heard heard(QByteArray datagram)
{
    Heard out;
    int result = 0;
    lo_message message = lo_message_deserialise(datagram.data(), size_t(datagram.size()), &result);
    if (!message)
        return out;
    out.path = QString::fromLatin1(lo_get_path(datagram.data(), datagram.size()));
    if (lo_message_get_argc(message) > 0 && lo_message_get_types(message)[0] == 'i')
        std::memcpy(&out.first, lo_message_get_argv(message)[0], sizeof out.first);
    lo_message_free(message);
    return out;
}

} // namespace

class TestOscEndpoint : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void ownPortIsNoReplyPort_data();
    void ownPortIsNoReplyPort();
    void repliesAreNeverAnswered();
    void bindsPastAnApplicationProxy();
    void unknownSequenceIsAnswered();

private:
    void sendToEndpoint(const QByteArray &datagram);
    // The next datagram the client is sent; an empty path after 10 s.
    Heard next();

    std::unique_ptr<FakeActions> m_actions;
    std::unique_ptr<SoloStation> m_station;
    std::unique_ptr<StationDispatcher> m_dispatcher;
    std::unique_ptr<OscEndpoint> m_endpoint;
    std::unique_ptr<QUdpSocket> m_client;
    quint16 m_oscPort = 0;
    quint16 m_wsPort = 0;
};

void TestOscEndpoint::init()
{
    m_actions = std::make_unique<FakeActions>();
    m_station = std::make_unique<SoloStation>(m_actions.get(), QStringLiteral("Main"));
    m_dispatcher = std::make_unique<StationDispatcher>(m_station.get());
    m_endpoint = std::make_unique<OscEndpoint>(m_dispatcher.get(), QList<QHostAddress>{});
    QUdpSocket probe;
    QVERIFY(probe.bind(QHostAddress::LocalHost, 0));
    m_oscPort = probe.localPort();
    probe.close();
    m_wsPort = quint16(m_oscPort == 65535 ? 1 : m_oscPort + 1);
    QVERIFY(m_endpoint->listen(QHostAddress::LocalHost, m_oscPort, {m_wsPort}));
    m_client = std::make_unique<QUdpSocket>();
    QVERIFY(m_client->bind(QHostAddress::LocalHost, 0));
}

void TestOscEndpoint::cleanup()
{
    m_client.reset();
    m_endpoint.reset();
    m_dispatcher.reset();
    m_station.reset();
    m_actions.reset();
}

void TestOscEndpoint::sendToEndpoint(const QByteArray &datagram)
{
    m_client->writeDatagram(datagram, QHostAddress::LocalHost, m_oscPort);
}

Heard TestOscEndpoint::next()
{
    if (!QTest::qWaitFor([this] { return m_client->hasPendingDatagrams(); }, 10000))
        return {};
    return heard(m_client->receiveDatagram().data());
}

void TestOscEndpoint::ownPortIsNoReplyPort_data()
{
    QTest::addColumn<bool>("osc");
    QTest::newRow("its OSC port") << true;
    QTest::newRow("its WebSocket port") << false;
}

// Replies sent there would come back to it, answered again without end: the
// sender hears why, at its own port, and its replies still come there.
void TestOscEndpoint::ownPortIsNoReplyPort()
{
    QFETCH(bool, osc);
    sendToEndpoint(oscBytes("/rz5300/status", "i", int(osc ? m_oscPort : m_wsPort), LO_ARGS_END));
    const Heard refused = next();
    QCOMPARE(refused.path, QString::fromLatin1(OscMessage::Error));
    QCOMPARE(refused.first, int(RemoteError::InvalidParams));
    sendToEndpoint(oscBytes("/rz5300/status", "", LO_ARGS_END));
    QCOMPARE(next().path, QString::fromLatin1(OscMessage::CurrentPreset));
    QCOMPARE(next().path, QString::fromLatin1(OscMessage::Link));
}

// What the program itself sends is dropped unanswered, so that two of them,
// or one and itself, never answer each other's replies and errors.
void TestOscEndpoint::repliesAreNeverAnswered()
{
    sendToEndpoint(oscBytes(OscMessage::CurrentPreset, "i", 3, LO_ARGS_END));
    sendToEndpoint(oscBytes(OscMessage::Link, "i", 1, LO_ARGS_END));
    sendToEndpoint(oscBytes(OscMessage::Error, "is", int(RemoteError::MethodNotFound), "no such address", LO_ARGS_END));
    sendToEndpoint(oscBytes(OscMessage::CurrentPreset, "s", "three", LO_ARGS_END));
    sendToEndpoint(oscBytes("/rz5300/status", "", LO_ARGS_END));
    QCOMPARE(next().path, QString::fromLatin1(OscMessage::CurrentPreset));
    QCOMPARE(next().path, QString::fromLatin1(OscMessage::Link));
    QVERIFY(m_actions->recalled.isEmpty());
}

// An OSC server on the LAN has no proxy to go through (Qt asks none for the
// loopback): one set for the whole application, here one where nothing
// answers, is not asked, nor is the system's.
void TestOscEndpoint::bindsPastAnApplicationProxy()
{
    OscEndpoint endpoint(m_dispatcher.get(), QList<QHostAddress>{});
    QNetworkProxy::setApplicationProxy(
        QNetworkProxy(QNetworkProxy::Socks5Proxy, QStringLiteral("127.0.0.1"), m_wsPort));
    const bool bound = endpoint.listen(QHostAddress::AnyIPv4, 0, {});
    QNetworkProxy::setApplicationProxy(QNetworkProxy());
    QVERIFY2(bound, qPrintable(endpoint.errorString()));
}

// A sequence the station does not have is refused as an unknown look is,
// at the sender's port.
void TestOscEndpoint::unknownSequenceIsAnswered()
{
    sendToEndpoint(oscBytes("/rz5300/sequence/stop", "s", "Walk-in", LO_ARGS_END));
    const Heard refused = next();
    QCOMPARE(refused.path, QString::fromLatin1(OscMessage::Error));
    QCOMPARE(refused.first, int(RemoteError::InvalidParams));
}

QTEST_GUILESS_MAIN(TestOscEndpoint)
#include "tst_oscendpoint.moc"
