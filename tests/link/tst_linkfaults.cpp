#include <commandtype.h>
#include <deviceprotocol.h>
#include <framebuilder.h>
#include <replyassembler.h>
#include <replyshape.h>
#include <singleton_serialport.h>

#include "framebytes.h"
#include "knowndevicecase.h"
#include "ptyskip.h"
#include "signalrecorder.h"
#include "testshard.h"
#include "timedrequest.h"

#include <QtTest>

namespace {

using FrameBytes::heads;

} // namespace

Q_DECLARE_METATYPE(FaultOptions)

// The link worker in its thread against a faulty device simulator, over
// TCP and over a pseudo-terminal: noise, lost and late replies, resends,
// slow and silent devices.
class TestLinkFaults : public KnownDeviceCase
{
    Q_OBJECT

private slots:
    void timeOutDuringPresetReads_data() { addTransports(); }
    void timeOutDuringPresetReads();
    void damagedReplies_data();
    void damagedReplies();
    void lostReplyIsSentAgain_data() { addTransports(); }
    void lostReplyIsSentAgain();
    void unansweredWriteIsNotTrusted_data() { addTransports(); }
    void unansweredWriteIsNotTrusted();
    void lateReplyIsNotTakenByTheNext_data() { addTransports(); }
    void lateReplyIsNotTakenByTheNext();
    void slowDeviceIsReadExactly();
    void replyOfAnotherRequestIsThrownAway();
    void staleAcknowledgementAfterGivingUp_data() { addTransports(); }
    void staleAcknowledgementAfterGivingUp();
    void slowSignalSwitchIsSentOnce();
    void silentDeviceIsReportedWithinOneTimeOut();
    void noiseNeverSwallowsAReply();
};

// A preset read the device never answers ends the read with message 7;
// the next read starts afresh and reads everything.
void TestLinkFaults::timeOutDuringPresetReads()
{
    FaultOptions faults;
    faults.muteCode = 0x1B;
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(timed(LinkRequest::connectionRead(), 3000));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(m_signals->names, (QStringList{"setWaitPage(false)", "isFistConnect", "repalceInCardMes",
                                            "replaceWinPages", "send_explain_end(7)", "setWaitPage(true)"}));
    QCOMPARE(m_link->queuedFrames(), 0);
    QVERIFY(m_link->lastTag().isEmpty());

    m_sim->setFaults({});
    m_sim->clearRequests();
    readAll();
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(true) << "1c00");
    compareRecord();
}

// Noise with false starts of a reply in every burst, split and overrun
// replies: every reply is still taken, none mistaken.
void TestLinkFaults::damagedReplies_data()
{
    QTest::addColumn<Transport>("transport");
    QTest::addColumn<FaultOptions>("faults");
    const struct { const char *name; bool split; int noiseEvery, overrunEvery; } cases[] = {
        {"split", true, 0, 0}, {"noise", false, 1, 0}, {"overrun", false, 0, 1}, {"all", true, 1, 1}};
    for (const auto &c : cases) {
        FaultOptions options;
        options.splitReplies = c.split;
        options.noiseEvery = c.noiseEvery;
        options.overrunEvery = c.overrunEvery;
        options.noiseStarts = true;
        options.seed = 5;
        QTest::addRow("tcp %s", c.name) << Transport::Tcp << options;
        if (HasPty)
            QTest::addRow("pty %s", c.name) << Transport::Pty << options;
    }
}

void TestLinkFaults::damagedReplies()
{
    QFETCH(FaultOptions, faults);
    m_sim->setFaults(faults);
    linkUp();
    readAll();
    QCOMPARE(m_signals->count(QStringLiteral("replaceWins")), 1);
    compareRecord();
}

// Request 2 gets no reply: it goes again, and the device takes it.
void TestLinkFaults::lostReplyIsSentAgain()
{
    FaultOptions faults;
    faults.dropEvery = 2;
    m_sim->setFaults(faults);
    linkUp();
    for (int preset : {3, 9})
        m_link->send(LinkRequest::recall(preset));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(heads(m_sim->requests()), (QStringList{"4903", "4909", "4909"}));
    QCOMPARE(m_sim->requests().at(1), m_sim->requests().at(2));
    QCOMPARE(m_sim->model().currentPreset, 9);
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// A write the device never confirms is given up after three attempts with
// message 7, and the host's data stay untrusted, even through later writes
// that are confirmed: the next connection read reads every preset.
void TestLinkFaults::unansweredWriteIsNotTrusted()
{
    linkUp();
    readAll();
    QCOMPARE(m_link->lastTag(), m_sim->model().tag);
    FaultOptions faults;
    faults.muteCode = 0x49;
    m_sim->setFaults(faults);
    m_sim->clearRequests();
    m_signals->clear();
    m_link->send(LinkRequest::recall(4));
    QVERIFY(waitFor(QStringLiteral("send_explain_end(7)")));
    QCOMPARE(heads(m_sim->requests()), (QStringList{"4904", "4904", "4904"}));
    QVERIFY(m_link->lastTag().isEmpty());

    m_sim->setFaults({});
    m_link->send(LinkRequest::deleteWindows(4));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("setWaitPage(true)")) >= 2; }, 15000));
    m_sim->clearRequests();
    m_signals->clear();
    m_link->send(LinkRequest::connectionRead());
    QVERIFY(waitFor(QStringLiteral("replaceWins")));
    QCOMPARE(heads(m_sim->requests()), FrameBytes::connectionRead(true));
    QCOMPARE(m_link->lastTag(), m_sim->model().tag);
}

// The reply to the first request comes after its wait and after the frame
// went again: it answers that request, and the device's second answer is
// thrown away rather than taken for the reply to the next request.
void TestLinkFaults::lateReplyIsNotTakenByTheNext()
{
    FaultOptions faults;
    faults.lateRequest = 1;
    faults.lateMs = transport() == Transport::Tcp ? 2000 : 2700; // a second past the first wait
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(timed(LinkRequest::readVersions(), Command::ShortWait));
    m_link->send(LinkRequest::readSignalFlags());
    QVERIFY(waitFor(QStringLiteral("repalceInCardMes")));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    const QStringList codes = heads(m_sim->requests());
    QCOMPARE(codes.last(), QStringLiteral("1c00"));
    QVERIFY(codes.count(QStringLiteral("1300")) >= 2);
    QCOMPARE(codes.size(), codes.count(QStringLiteral("1300")) + 1);
    QCOMPARE(entryLines(m_link->dm_data), entryLines(m_sim->model()));
    QCOMPARE(m_signals->count(QStringLiteral("repalceVersion")), 1);
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// A device that answers every request 1.3 s late, slower than the first
// wait: each read is taken by its own request, so the record, the versions
// and the link's own settings are exactly the device's.
void TestLinkFaults::slowDeviceIsReadExactly()
{
    FaultOptions faults;
    faults.delayMs = 1300;
    m_sim->setFaults(faults);
    linkUp();
    readAll();
    compareRecord();
    m_link->send(LinkRequest::readVersions());
    m_link->send(LinkRequest::readNetwork());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceConnect")) > 0; }, 30000));
    QCOMPARE(m_link->dm_data.sysVersion, (DeviceData::Version{3, 1, 4}));
    QCOMPARE(m_link->linkSettings().mid(1, 5),
             (QStringList{"192.168.1.100", "50", "255.255.255.0", "192.168.1.1", "16-21-2C"}));
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// The answer to a resent read comes in out of turn while the next read is
// in flight: it has the wrong code and is thrown away, not read as the
// network settings.
void TestLinkFaults::replyOfAnotherRequestIsThrownAway()
{
    FaultOptions faults;
    faults.outOfTurnCode = 0x13;
    faults.outOfTurnMs = 4500;
    faults.slowCode = 0x14;
    faults.slowMs = 4000;
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(timed(LinkRequest::readVersions(), Command::ShortWait));
    m_link->send(LinkRequest::readNetwork());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceConnect")) > 0; }, 15000));
    QCOMPARE(heads(m_sim->requests()).mid(0, 3), (QStringList{"1300", "1300", "1400"}));
    QCOMPARE(m_link->linkSettings().at(1), QStringLiteral("192.168.1.100"));
    QCOMPARE(m_link->linkSettings().at(2), QStringLiteral("50"));
    QCOMPARE(m_signals->count(QStringLiteral("repalceVersion")), 1);
}

// A write given up and then acknowledged late: the acknowledgement is
// thrown away, so a next write the device never answers is not confirmed
// by it but given up in its turn.
void TestLinkFaults::staleAcknowledgementAfterGivingUp()
{
    linkUp();
    FaultOptions faults;
    faults.muteCode = 0x49;
    m_sim->setFaults(faults);
    m_link->send(LinkRequest::recall(4));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 0; }, 15000));
    m_sim->clearRequests();
    faults.outOfTurnCode = 0x49; // the next recall's first frame is answered late...
    faults.outOfTurnMs = 3000;
    m_sim->setFaults(faults);
    LinkRequest late = LinkRequest::recall(5);
    late.timeoutMs = 2000;
    m_link->send(late);           // ...after it was given up
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 1; }, 15000));
    m_link->send(LinkRequest::recall(6));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) >= 3; }, 30000));
    QCOMPARE(heads(m_sim->requests()).last(), QStringLiteral("4906"));
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 3);
}

// A signal switch takes the device seconds: its frame waits that long and
// goes once, and the new signal is the host's.
void TestLinkFaults::slowSignalSwitchIsSentOnce()
{
    FaultOptions faults;
    faults.slowCode = 0x80;
    faults.slowMs = 3500;
    m_sim->setFaults(faults);
    linkUp();
    m_link->send(LinkRequest::setMainSignal(2, 3));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("repalceInCardMainSingle(2)")) > 0; },
                            15000));
    QCOMPARE(heads(m_sim->requests()), QStringList{"8002"});
    QCOMPARE(m_link->dm_data.inCards[2].mainSignal, 3);
    QCOMPARE(m_signals->count(QStringLiteral("send_explain_end(7)")), 0);
}

// A device that answers nothing is reported once the command's time-out
// has passed, not three. The attempts in between back off, and one goes
// again only with a second of the time-out left: two or three frames.
void TestLinkFaults::silentDeviceIsReportedWithinOneTimeOut()
{
    FaultOptions faults;
    faults.muteCode = 0x41;
    m_sim->setFaults(faults);
    linkUp();
    QElapsedTimer clock;
    clock.start();
    m_link->send(timed(LinkRequest::writeWall(FrameBuilder::wallOf(m_link->dm_data)), 4000));
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("send_explain_end(7)")) > 0; }, 15000));
    QVERIFY2(clock.elapsed() < 6000, qPrintable(QString::number(clock.elapsed())));
    const QStringList sent = heads(m_sim->requests(), 1);
    QVERIFY2(sent.size() >= 2 && sent.size() <= 3 && sent.count("41") == sent.size(), qPrintable(sent.join(' ')));
}

// 20,000 bursts of noise, each with a false start of a reply, in front of an
// acknowledgement and of a read reply: every reply comes out whole, and
// nothing else is taken for one.
void TestLinkFaults::noiseNeverSwallowsAReply()
{
    FaultOptions options;
    options.noiseEvery = 1;
    options.noiseStarts = true;
    options.seed = 5300;
    FaultInjector noise(options);
    const QByteArray acknowledgement = QByteArray::fromHex("2001ff080401aa20");
    const QByteArray flagsRead = FrameBuilder::readRequest(0x1C);
    const QByteArray flags = DeviceProtocol::answer(flagsRead, &m_sim->model());
    const QByteArray recall = FrameBuilder::sizedWriteFrame(0x49, QByteArray(1, '\x02'), QByteArray(8, '\0'));
    const struct { QByteArray request, reply; } exchanges[] = {{recall, acknowledgement}, {flagsRead, flags}};
    int lost = 0, mistaken = 0;
    for (int burst = 1; burst <= 20000; ++burst) {
        const auto &exchange = exchanges[burst % 2];
        const ReplyShape awaited = ReplyShape::of(exchange.request);
        ReplyAssembler assembler;
        assembler.append(noise.shape(burst, exchange.request, exchange.reply).join());
        const QByteArray taken = assembler.takeReply(&awaited);
        lost += taken.isEmpty();
        mistaken += !taken.isEmpty() && (taken != exchange.reply || !awaited.matches(taken));
    }
    QCOMPARE(lost, 0);
    QCOMPARE(mistaken, 0);
}

RZ_SHARDED_GUILESS_MAIN(TestLinkFaults)
#include "tst_linkfaults.moc"
