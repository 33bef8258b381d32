#include <commandtype.h>
#include <singleton_serialport.h>

#include "framebytes.h"
#include "knowndevicecase.h"
#include "ptyskip.h"
#include "signalrecorder.h"
#include "testshard.h"
#include "timedrequest.h"

#include <QtTest>

#include <ctime>

namespace {

using FrameBytes::heads;

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

} // namespace

Q_DECLARE_METATYPE(ReplyForm)

// The link worker in its thread against the device simulator, over TCP
// and over a pseudo-terminal: connection reads, writes and the record.
class TestLinkSim : public KnownDeviceCase
{
    Q_OBJECT

private slots:
    void connectionRead_data() { addTransports(); }
    void connectionRead();
    void otherReplyForms_data();
    void otherReplyForms();
    void replyNamingAnotherReadIsThrownAway();
    void linkLost_data() { addTransports(); }
    void linkLost();
    void burstKeepsEachPayload_data() { addTransports(); }
    void burstKeepsEachPayload();
    void signalsFindTheRecordUpdated();
    void networkWriteIsSentOnce();
};

// The device's tag differs from the host's: everything is read and the
// tag adopted; the next connection read then finds the same tag.
void TestLinkSim::connectionRead()
{
    linkUp();
    readAll();
    QCOMPARE(m_signals->names, (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                                            "replaceWinPages", "replaceWins", "setWaitPage(true)",
                                            "setWaitPage(false)", "repalceInCardMes", "setWaitPage(true)"}));
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(true) << "1c00");
    compareRecord();

    m_sim->clearRequests();
    m_signals->clear();
    m_link->send(timed(LinkRequest::connectionRead(), Command::ShortWait));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(m_signals->names, (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                                            "repalceAllPage", "setWaitPage(true)"}));
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(false));
}

// Devices differ in what their read replies hold past the bytes the host
// reads and in byte 8: the connection read, the network settings and a
// verify read all come in whole, without a message.
void TestLinkSim::otherReplyForms_data()
{
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<ReplyForm>("form");
    ReplyForm spare;
    spare.spareBytes = 3;
    spare.codeByte = 0;
    ReplyForm shortest;
    shortest.shortest = true;
    const struct { const char *name; ReplyForm form; } cases[] = {
        {"spare bytes, no echo", spare}, {"shortest", shortest}};
    for (const auto &c : cases) {
        QTest::addRow("tcp %s", c.name) << Transport::Tcp << c.form;
        if (HasPty)
            QTest::addRow("pty %s", c.name) << Transport::Pty << c.form;
    }
}

void TestLinkSim::otherReplyForms()
{
    QFETCH(ReplyForm, form);
    m_sim->setReplyForm(form);
    linkUp();
    readAll();
    compareRecord();
    m_link->send(LinkRequest::readNetwork());
    QVERIFY(waitFor(QStringLiteral("repalceConnect")));
    QCOMPARE(m_link->linkSettings().mid(1, 5),
             (QStringList{"192.168.1.100", "50", "255.255.255.0", "192.168.1.1", "16-21-2C"}));
    m_link->send(LinkRequest::verifyRead());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceDeviceCopy")) > 0; }, 90000));
    QCOMPARE(presetLines(m_link->dm_deviceCopy), presetLines(presetsWithWindows()));
    QVERIFY2(m_signals->names.filter(QStringLiteral("send_explain_end")).isEmpty(),
             qPrintable(m_signals->names.join(QLatin1Char(' '))));
}

// A device that puts the versions' code into every reply: the versions
// are read, but its answer to the network read names another read and is
// thrown away, so the read is given up and the settings stay.
void TestLinkSim::replyNamingAnotherReadIsThrownAway()
{
    ReplyForm form;
    form.codeByte = 0x13;
    m_sim->setReplyForm(form);
    linkUp();
    const QStringList before = m_link->linkSettings();
    m_link->send(timed(LinkRequest::readVersions(), Command::ShortWait));
    m_link->send(timed(LinkRequest::readNetwork(), 2000));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 0; }, 15000));
    QCOMPARE(m_signals->count(QStringLiteral("repalceVersion")), 1);
    QCOMPARE(m_signals->count(QStringLiteral("repalceConnect")), 0);
    QCOMPARE(m_link->linkSettings(), before);
    QCOMPARE(heads(m_sim->requests()).mid(0, 2), (QStringList{"1300", "1400"}));
}

// A lost link ends once and leaves the worker idle, not spinning on a dead
// port.
void TestLinkSim::linkLost()
{
    linkUp();
    if (transport() == Transport::Tcp)
        m_sim->hangUp();
    else
        m_sim->closePty();
    QVERIFY(waitFor(QStringLiteral("send_connect_end")));
    QVERIFY(!m_link->isConnected());

    const double cpuBefore = processCpuSeconds();
    QTest::qWait(1500);
    const double cpu = processCpuSeconds() - cpuBefore;
    QVERIFY2(cpu < 0.5, qPrintable(QStringLiteral("%1 s of CPU in 1.5 s").arg(cpu)));
    QCOMPARE(m_signals->count(QStringLiteral("send_connect_end")), 1);
}

// Each post carries what was staged for it, however many follow in the
// same call stack. The worker is held until all of them are posted, so the
// whole burst waits in its queue at once.
void TestLinkSim::burstKeepsEachPayload()
{
    linkUp();
    QSemaphore go;
    bool heldUp = false;
    m_link->workerSide()->post([&go, &heldUp] { heldUp = !go.tryAcquire(1, 30000); });
    for (int i = 0; i < 8; ++i)
        m_link->send(LinkRequest::setWindowSource(7, QByteArray(1, char(i)) + char(10 + i)));
    go.release();
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QVERIFY(!heldUp);
    QCOMPARE(heads(m_sim->requests(), 4), (QStringList{"4807000a", "4807010b", "4807020c", "4807030d",
                                                       "4807040e", "4807050f", "48070610", "48070711"}));
}

// The callers' record takes what a reply says before the signal telling
// of it reaches them.
void TestLinkSim::signalsFindTheRecordUpdated()
{
    linkUp();
    QObject receiver;
    QStringList presetsSignalled;
    int mainSignalSignalled = -1;
    connect(m_link, &Singleton_SerialPort::replaceWins, &receiver,
            [&] { presetsSignalled = presetLines(m_link->dm_data); });
    connect(m_link, &Singleton_SerialPort::repalceInCardMainSingle, &receiver,
            [&](int entry) { mainSignalSignalled = m_link->dm_data.inCards[size_t(entry)].mainSignal; });
    readAll();
    QCOMPARE(presetsSignalled, presetLines(presetsWithWindows()));

    m_link->send(LinkRequest::setMainSignal(2, 3));
    QVERIFY(waitFor(QStringLiteral("repalceInCardMainSingle(2)")));
    QCOMPARE(mainSignalSignalled, 3);
}

// After the network settings the device may answer elsewhere: the frame
// goes once, and the operator is told what to do.
void TestLinkSim::networkWriteIsSentOnce()
{
    FaultOptions faults;
    faults.muteCode = 0x4B;
    m_sim->setFaults(faults);
    linkUp();
    const QByteArray settings = QByteArray::fromHex("01c0a80165" "01ffffff00" "01c0a80101" "01aabbcc");
    m_link->send(timed(LinkRequest::writeNetwork(settings), 2000));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("setWaitPage(true)")) > 0; }, 15000));
    QCOMPARE(heads(m_sim->requests(), 1), QStringList{"4b"});
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(12)")), 1);
}

RZ_SHARDED_GUILESS_MAIN(TestLinkSim)
#include "tst_linksim.moc"
