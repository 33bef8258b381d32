#include <appdirectory.h>
#include <linksettings.h>
#include <settingsfile.h>
#include <singleton_serialport.h>

#include "replybytes.h"
#include "signalrecorder.h"

#include <QHostAddress>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

#include <pty.h>
#include <unistd.h>

namespace {

constexpr int Wait = 10000;

using ReplyBytes::hex;
using ReplyBytes::reply;

// A device on 127.0.0.1 that collects the request frames it is sent and,
// when told, answers each by its command code.
class ScriptedDevice
{
public:
    ScriptedDevice()
    {
        QVERIFY(m_server.listen(QHostAddress::LocalHost));
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] {
            m_peer = m_server.nextPendingConnection();
            QObject::connect(m_peer, &QTcpSocket::readyRead, m_peer, [this] { take(); });
        });
    }

    quint16 port() const { return m_server.serverPort(); }
    QTcpSocket *peer() const { return m_peer; }

    QList<QByteArray> requests;
    QHash<int, QByteArray> answers; // by command code

    void answer(const QByteArray &bytes) { m_peer->write(bytes); }

private:
    void take()
    {
        m_inbox += m_peer->readAll();
        while (m_inbox.size() >= 4) {
            const int length = quint8(m_inbox[2]) << 8 | quint8(m_inbox[3]);
            if (m_inbox.size() < length)
                return;
            const QByteArray request = m_inbox.left(length);
            m_inbox.remove(0, length);
            requests << request;
            const int code = quint8(request[8]);
            if (answers.contains(code))
                answer(answers[code]);
        }
    }

    QTcpServer m_server;
    QTcpSocket *m_peer = nullptr;
    QByteArray m_inbox;
};

} // namespace

// The link worker in its thread, over TCP to a scripted device on
// 127.0.0.1 or with no peer at all.
class TestLinkWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void signalsKeepTheirIndexes();
    void commandWhileLinkDown();
    void connectToClosedPort();
    void frameWaitsForReplyInFlight();
    void recallFrameOnTheWire();
    void connectionReadSameTag();
    void connectionReadOtherTag();
    void timeOutDropsQueue();
    void deviceClosesLink();
    void batchStartsAtEnd();
    void serialFarEndCloses();
    void settingsRoundTrip();
    void settingsDefaultsKeepTag();
    void cleanExit();

private:
    void connectToDevice();

    Singleton_SerialPort *m_link = nullptr;
    SignalRecorder *m_signals = nullptr;
    std::unique_ptr<ScriptedDevice> m_device;
    QTemporaryDir m_dir;
};

void TestLinkWorker::initTestCase()
{
    QVERIFY(m_dir.isValid());
    AppDirectory::setPath(m_dir.path());
    m_link = Singleton_SerialPort::instance();
    m_signals = new SignalRecorder(m_link, this);
}

void TestLinkWorker::init()
{
    m_link->dm_sendEnable = 1;
    m_link->dm_linkType = 0;
    m_device = std::make_unique<ScriptedDevice>();
    m_signals->clear();
}

// The link goes down before the device does, so every test starts with
// the link down, an empty queue and no signal on its way.
void TestLinkWorker::cleanup()
{
    m_signals->clear();
    m_link->postCommand(2);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_connect_end")), 1, Wait);
    m_device.reset();
}

void TestLinkWorker::connectToDevice()
{
    m_link->dm_ip = QStringLiteral("127.0.0.1");
    m_link->dm_port = m_device->port();
    m_link->postCommand(1);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_connect_end")), 1, Wait);
    QVERIFY(m_link->isConnected());
    QTRY_VERIFY_WITH_TIMEOUT(m_device->peer(), Wait);
    m_signals->clear();
}

void TestLinkWorker::signalsKeepTheirIndexes()
{
    const QStringList expected{
        "setWaitPage", "send_connect_end", "send_explain_end", "send_end_instrusts",
        "send_error", "send_receive_end", "MyStarSend", "send_out_time", "replaceWinPages",
        "repalceeSendPage", "replaceWins", "repalceAllPage", "repalceCardMes", "repalceLoadFile",
        "repalceCard", "repalceInCardMes", "repalceConnect", "repalceVersion", "isFistConnect",
        "repalceInCardMainSingle", "repalceInCardPIP", "repalceInCardText", "send_init_end"};
    const QMetaObject *meta = m_link->metaObject();
    for (int i = 0; i < expected.size(); ++i) {
        const QMetaMethod method = meta->method(meta->methodOffset() + i);
        QCOMPARE(method.methodType(), QMetaMethod::Signal);
        QCOMPARE(QString::fromLatin1(method.name()), expected[i]);
    }
}

void TestLinkWorker::commandWhileLinkDown()
{
    m_link->postCommand(12);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->names.size(), 3, Wait);
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "send_explain_end(5)", "setWaitPage(true)"}));
    QCOMPARE(m_link->queuedFrames(), 0);
}

void TestLinkWorker::connectToClosedPort()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();

    m_link->dm_ip = QStringLiteral("127.0.0.1");
    m_link->dm_port = closedPort;
    m_link->postCommand(1);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_connect_end")), 1, Wait);
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "setWaitPage(true)", "send_connect_end"}));
    QVERIFY(!m_link->isConnected());
}

// A command posted while another's frame waits for its reply is sent after
// that reply, and the first frame is not sent again.
void TestLinkWorker::frameWaitsForReplyInFlight()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    m_link->postCommand(12);
    QTRY_COMPARE_WITH_TIMEOUT(device.requests.size(), 1, Wait);
    m_link->postCommand(10);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(false)")), 2, Wait);
    QCOMPARE(m_link->queuedFrames(), 2);

    device.answers[0x13] = reply(132);
    device.answer(reply(17));
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 1, Wait);
    QCOMPARE(device.requests.size(), 2);
    QCOMPARE(quint8(device.requests[0][8]), quint8(0x1C));
    QCOMPARE(quint8(device.requests[1][8]), quint8(0x13));
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "setWaitPage(false)", "repalceInCardMes",
                          "repalceVersion", "setWaitPage(true)"}));
}

void TestLinkWorker::recallFrameOnTheWire()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    device.answers[0x49] = reply(8);
    m_link->dm_data.curModel = 2;
    m_link->postCommand(49);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 1, Wait);
    QCOMPARE(device.requests.size(), 1);
    const QByteArray tag = m_link->dm_checkSum;
    QCOMPARE(device.requests[0], hex("2001001404 01AA01 4902") + tag + hex("AA20"));
    QCOMPARE(m_link->dm_lastCheckSum, tag);
}

void TestLinkWorker::connectionReadSameTag()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    QByteArray status = reply(360);
    status.replace(352, 8, hex("0A0B0C0D0E0F1011"));
    m_link->dm_checkSum = m_link->dm_lastCheckSum = hex("0A0B0C0D0E0F1011");
    device.answers[0x11] = reply(905);
    device.answers[0x19] = status;
    m_link->postCommand(190);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 1, Wait);
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                          "repalceAllPage", "setWaitPage(true)"}));
    QCOMPARE(device.requests.size(), 2);
}

void TestLinkWorker::connectionReadOtherTag()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    QByteArray status = reply(360);
    status[25] = 1;
    status[26] = 1;
    status.replace(352, 8, hex("2122232425262728"));
    QByteArray first = reply(1865);
    first[10] = 1; // one window in every preset
    device.answers[0x11] = reply(905);
    device.answers[0x19] = status;
    device.answers[0x1A] = first;
    device.answers[0x1B] = reply(521);
    m_link->postCommand(190);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 1, Wait);
    QCOMPARE(device.requests.size(), 34);
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                          "replaceWinPages", "replaceWins", "setWaitPage(true)"}));
    QCOMPARE(m_link->dm_checkSum, hex("2122232425262728"));
    QCOMPARE(m_link->dm_data.modelWinCount[15], 1);
    QCOMPARE(m_link->dm_data.rows(), 1);
}

// The main window's time-out drops the queue; a reply still on its way
// then finds no request, and the next command starts afresh.
void TestLinkWorker::timeOutDropsQueue()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    m_link->postCommand(191);
    QTRY_COMPARE_WITH_TIMEOUT(device.requests.size(), 1, Wait);
    m_link->postSendFailed(2);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 1, Wait);
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "send_explain_end(7)", "setWaitPage(true)"}));
    QCOMPARE(m_link->queuedFrames(), 0);

    device.answers[0x1C] = reply(17);
    m_link->postCommand(12);
    QTRY_COMPARE_WITH_TIMEOUT(device.requests.size(), 2, Wait);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 2, Wait);
    QCOMPARE(quint8(device.requests[1][8]), quint8(0x1C));
}

void TestLinkWorker::deviceClosesLink()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    device.peer()->close();
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_connect_end")), 1, Wait);
    QVERIFY(!m_link->isConnected());

    // Nothing more arrives from the lost link before the next command.
    m_link->postCommand(12);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_explain_end(5)")), 1, Wait);
    QCOMPARE(m_signals->count(QStringLiteral("send_connect_end")), 1);
}

void TestLinkWorker::batchStartsAtEnd()
{
    connectToDevice();
    ScriptedDevice &device = *m_device;
    device.answers[0x49] = reply(8);
    device.answers[0x43] = reply(8);
    m_link->dm_sendEnable = 0;
    m_link->postCommand(49);
    m_link->postCommand(43);
    QCOMPARE(m_link->queuedFrames(), 2);
    QVERIFY(device.requests.isEmpty());
    m_link->postCommand(192);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("setWaitPage(true)")), 1, Wait);
    QCOMPARE(device.requests.size(), 2);
    QCOMPARE(m_link->dm_sendEnable, 1);
    QCOMPARE(m_signals->names,
             (QStringList{"setWaitPage(false)", "setWaitPage(true)"}));
}

// A serial port whose other side is gone ends the link once, instead of
// reporting read errors at every turn of the event loop.
void TestLinkWorker::serialFarEndCloses()
{
    int master = -1;
    int slave = -1;
    char name[128] = {};
    QVERIFY(openpty(&master, &slave, name, nullptr, nullptr) == 0);
    ::close(slave);
    m_link->dm_linkType = 1;
    m_link->dm_portName = QString::fromLocal8Bit(name);
    m_link->postCommand(1);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_connect_end")), 1, Wait);
    QVERIFY(m_link->isConnected());

    ::close(master);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_connect_end")), 2, Wait);
    QVERIFY(!m_link->isConnected());
    m_link->postCommand(12);
    QTRY_COMPARE_WITH_TIMEOUT(m_signals->count(QStringLiteral("send_explain_end(5)")), 1, Wait);
    QCOMPARE(m_signals->count(QStringLiteral("send_connect_end")), 2);
}

void TestLinkWorker::settingsRoundTrip()
{
    m_link->setLinkSettings({"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "01-02-03", "ttyS1"});
    m_link->dm_lastCheckSum = hex("0102030405060708");
    writeSettings(1);
    m_link->setLinkSettings({"1", "", "0", "", "", "", ""});
    m_link->dm_checkSum.clear();
    m_link->dm_lastCheckSum.clear();

    int isEnglish = 0;
    readSettings(isEnglish);
    QCOMPARE(isEnglish, 1);
    QCOMPARE(m_link->linkSettings(),
             (QStringList{"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "01-02-03", "ttyS1"}));
    QCOMPARE(m_link->dm_linkType, 0);
    QCOMPARE(m_link->dm_port, 5000);
    QCOMPARE(m_link->dm_checkSum, hex("0102030405060708"));
    QCOMPARE(m_link->dm_lastCheckSum, hex("0102030405060708"));
}

void TestLinkWorker::settingsDefaultsKeepTag()
{
    QFile::remove(SettingsFile::path());
    m_link->dm_checkSum = hex("AABB");
    m_link->dm_lastCheckSum = hex("CC");
    int isEnglish = 1;
    readSettings(isEnglish);
    QCOMPARE(isEnglish, 0);
    QCOMPARE(m_link->linkSettings(), SettingsFile::defaultLinkSettings());
    QCOMPARE(m_link->dm_checkSum, hex("AABB"));
    QCOMPARE(m_link->dm_lastCheckSum, hex("CC00000000000000"));
}

void TestLinkWorker::cleanExit()
{
    QProcess helper;
    helper.start(QStringLiteral(LINK_EXIT_HELPER), {});
    QVERIFY(helper.waitForFinished(60000));
    const QByteArray errors = helper.readAllStandardError();
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QVERIFY2(helper.exitCode() == 0, errors.constData());
    QVERIFY2(!errors.contains("QThread: Destroyed"), errors.constData());
    QVERIFY2(!errors.contains("ERROR"), errors.constData());
}

QTEST_GUILESS_MAIN(TestLinkWorker)
#include "tst_linkworker.moc"
