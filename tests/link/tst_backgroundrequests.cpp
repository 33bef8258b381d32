// The program's own requests (the signal poll, a backup's source): no wait
// page, no message, no work under way, no mark, even against a device that
// does not answer them; the operator's command behind one still goes.
// Over TCP and a pseudo-terminal.

#include <devicedata.h>
#include <singleton_serialport.h>

#include "framebytes.h"
#include "linksimcase.h"
#include "signalrecorder.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using FrameBytes::heads;

namespace {

std::shared_ptr<int> errorOf(LinkReply *reply)
{
    auto error = std::make_shared<int>(-1);
    QObject::connect(reply, &LinkReply::finished, reply, [reply, error] { *error = reply->error(); });
    return error;
}

} // namespace

class TestBackgroundRequests : public LinkSimCase
{
    Q_OBJECT

private slots:
    void silentDeviceTellsTheOperatorNothing_data() { addTransports(); }
    void silentDeviceTellsTheOperatorNothing();
    void backupSourceLeavesTheHostsPreset_data() { addTransports(); }
    void backupSourceLeavesTheHostsPreset();
};

// The read goes once and is given up silently; the operator's read posted
// right behind it goes next, under its own wait page.
void TestBackgroundRequests::silentDeviceTellsTheOperatorNothing()
{
    linkUp();
    FaultOptions faults;
    faults.muteCode = 0x1C;
    m_sim->setFaults(faults);
    m_sim->clearRequests();
    const auto poll = errorOf(m_link->send(LinkRequest::readSignalFlags().inBackground()));
    QCOMPARE(m_link->queuedFrames(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(*poll, int(LinkReply::Unanswered), 30000);
    QVERIFY(m_signals->names.isEmpty());
    QCOMPARE(m_link->queuedFrames(), 0);

    const auto again = errorOf(m_link->send(LinkRequest::readSignalFlags().inBackground()));
    const auto versions = errorOf(m_link->send(LinkRequest::readVersions()));
    QTRY_COMPARE_WITH_TIMEOUT(*versions, int(LinkReply::NoError), 30000);
    QCOMPARE(*again, int(LinkReply::Unanswered));
    QCOMPARE(heads(m_sim->requests()), (QStringList{"1c00", "1c00", "1300"}));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(m_signals->count(QStringLiteral("setWaitPage(false)")), 1);
    QCOMPARE(m_signals->count(QStringLiteral("setWaitPage(true)")), 1);
    QVERIFY(!m_signals->names.join(' ').contains(QStringLiteral("send_explain_end")));
}

// The device shows the backup; the preset's mark does not follow, as the
// operator's own change of source does.
void TestBackgroundRequests::backupSourceLeavesTheHostsPreset()
{
    linkUp();
    QSignalSpy written(m_link, &Singleton_SerialPort::presetWritten);
    const auto backup = errorOf(m_link->send(LinkRequest::substituteSource(3, 1, 9)));
    QTRY_COMPARE_WITH_TIMEOUT(*backup, int(LinkReply::NoError), Wait);
    QCOMPARE(m_sim->model().presets[3].windows.at(Preset::SlotSize + 2), char(9));
    QCOMPARE(written.size(), 0);
    QVERIFY(m_signals->names.filter(QStringLiteral("setWaitPage")).isEmpty());

    const auto own = errorOf(m_link->send(LinkRequest::setWindowSource(3, QByteArray::fromHex("0105"))));
    QTRY_COMPARE_WITH_TIMEOUT(*own, int(LinkReply::NoError), Wait);
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    QCOMPARE(written.size(), 1);
}

QTEST_MAIN(TestBackgroundRequests)
#include "tst_backgroundrequests.moc"
