#include <appdirectory.h>
#include <commandtype.h>
#include <handover.h>
#include <linksettings.h>
#include <settingsfile.h>
#include <singleton_serialport.h>

#include "framebytes.h"
#include "linkedsimulator.h"
#include "signalrecorder.h"
#include "workertag.h"

#include <QHostAddress>
#include <QProcess>
#include <QSemaphore>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QtTest>

namespace {

constexpr int Wait = 10000;

using FrameBytes::hex;

} // namespace

// The link worker in its thread: a peer that is not there, the hand-over
// of the settings, and a clean exit.
class TestLinkWorker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void unreachablePeer_data();
    void unreachablePeer();
    void settingsRoundTrip();
    void settingsDefaultsKeepTag();
    void askingNeverWaitsForTheWorker();
    void cleanExit();

private:
    Singleton_SerialPort *m_link = nullptr;
    QTemporaryDir m_dir;
};

void TestLinkWorker::initTestCase()
{
    QVERIFY(m_dir.isValid());
    AppDirectory::setPath(m_dir.path());
    m_link = new Singleton_SerialPort(this);
}

void TestLinkWorker::unreachablePeer_data()
{
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    QTest::addColumn<QStringList>("settings");
    QTest::newRow("tcp closed port") << LinkedSimulator::tcpSettings(closedPort);
    QTest::newRow("pty missing") << LinkedSimulator::serialSettings(m_dir.filePath(QStringLiteral("ttyNone")));
}

// The link stays down, and a command posted then is refused.
void TestLinkWorker::unreachablePeer()
{
    QFETCH(QStringList, settings);
    SignalRecorder recorded(m_link, {"linkStateChanged", "send_out_time"});
    m_link->setLinkSettings(settings);
    m_link->postCommand(1);
    m_link->send(LinkRequest::readSignalFlags());
    QTRY_COMPARE_WITH_TIMEOUT(recorded.count(QStringLiteral("setWaitPage(true)")), 2, Wait);
    QCOMPARE(recorded.names, (QStringList{"setWaitPage(false)", "setWaitPage(true)", "send_connect_end",
                                          "setWaitPage(false)", "send_explain_end(5)", "setWaitPage(true)"}));
    QVERIFY(!m_link->isConnected());
    QCOMPARE(m_link->queuedFrames(), 0);
}

void TestLinkWorker::settingsRoundTrip()
{
    m_link->setLinkSettings({"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "01-02-03", "ttyS1"});
    m_link->postKeptTag(hex("0102030405060708"), false);
    writeSettings(m_link, SettingsFile::path(), 1);
    m_link->setLinkSettings({"1", "", "0", "", "", "", ""});
    m_link->postForgetTags();
    QVERIFY(m_link->lastTag().isEmpty());

    int isEnglish = 0;
    readSettings(m_link, SettingsFile::path(), isEnglish);
    QCOMPARE(isEnglish, 1);
    QCOMPARE(m_link->linkSettings(),
             (QStringList{"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "01-02-03", "ttyS1"}));
    QCOMPARE(m_link->dm_linkType, 0);
    QCOMPARE(m_link->dm_port, 5000);
    QCOMPARE(m_link->lastTag(), hex("0102030405060708"));
    QCOMPARE(workerTag(m_link), hex("0102030405060708"));
}

void TestLinkWorker::settingsDefaultsKeepTag()
{
    QFile::remove(SettingsFile::path());
    m_link->postKeptTag(hex("AABB"), false);
    int isEnglish = 1;
    readSettings(m_link, SettingsFile::path(), isEnglish);
    QCOMPARE(isEnglish, 0);
    QCOMPARE(m_link->linkSettings(), SettingsFile::defaultLinkSettings());
    QCOMPARE(m_link->lastTag(), hex("AABB000000000000"));
    QCOMPARE(workerTag(m_link), hex("AABB"));
}

// The callers ask about the work under way without waiting for the
// worker, which may be held up (a connect waits for its peer); a post counts
// as under way from the moment it is made until the worker has run it.
void TestLinkWorker::askingNeverWaitsForTheWorker()
{
    const QByteArray tag = m_link->lastTag();
    QSemaphore go;
    bool heldUp = false;
    m_link->workerSide()->post([&go, &heldUp] { heldUp = !go.tryAcquire(1, 30000); });
    m_link->postCommand(Command::Disconnect);
    QCOMPARE(m_link->queuedFrames(), 1);
    QCOMPARE(m_link->lastTag(), tag);
    go.release();
    QTRY_COMPARE_WITH_TIMEOUT(m_link->queuedFrames(), 0, Wait);
    m_link->workerSide()->await([] {});
    QVERIFY(!heldUp);
}

void TestLinkWorker::cleanExit()
{
    QProcess helper;
    // The helper has no QtTest watchdog, so it needs none of the
    // ThreadSanitizer suppressions for it: any report fails it.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("TSAN_OPTIONS"));
    helper.setProcessEnvironment(environment);
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
