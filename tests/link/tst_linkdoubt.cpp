#include <devicedata.h>
#include <singleton_serialport.h>

#include "framebytes.h"
#include "linksimcase.h"
#include "signalrecorder.h"
#include "timedrequest.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QtTest>

namespace {

using FrameBytes::heads;

const QString TimedOut = QStringLiteral("send_explain_end(7)");
const QString Idle = QStringLiteral("setWaitPage(true)");

constexpr int Entry = 2;
constexpr int NewSignal = 3;

} // namespace

// The link worker against a device whose answers leave the host in doubt:
// late, missing, or slower than a batch allows. Over TCP and a
// pseudo-terminal.
class TestLinkDoubt : public LinkSimCase
{
    Q_OBJECT

private slots:
    void lateAcknowledgementConfirmsNothing_data() { addTransports(); }
    void lateAcknowledgementConfirmsNothing();
    void onePresetWriteGivesUpSoon();
    void batchSharesOneBudget();
    void repliesTellEachPostingsEnd();
    void lostAcknowledgementSettledByReadingBack_data() { addTransports(); }
    void lostAcknowledgementSettledByReadingBack();
    void writeNotTakenIsReported();

private:
    void measureTheDevice();
    void switchSignalUnanswered();
};

// A few quick reads: the link then knows the device answers at once, and
// allows only a little more for an answer owed.
void TestLinkDoubt::measureTheDevice()
{
    for (int i = 0; i < 4; ++i) {
        m_link->send(LinkRequest::readSignalFlags());
        QVERIFY(waitFor(Idle));
        m_signals->clear();
    }
    m_sim->clearRequests();
}

// The device answers recalls 1.5 s late and never answers a source change:
// the recall goes twice, and its second acknowledgement comes in after the
// first was taken. It must not be taken for the source change's.
void TestLinkDoubt::lateAcknowledgementConfirmsNothing()
{
    linkUp();
    measureTheDevice();
    FaultOptions faults;
    faults.slowCode = 0x49;
    faults.slowMs = 1500;
    faults.muteCode = 0x48;
    m_sim->setFaults(faults);
    m_link->send(LinkRequest::recall(3));
    m_link->send(LinkRequest::setWindowSource(3, QByteArray::fromHex("0105")));
    QVERIFY(waitFor(Idle, 1, 30000));
    QCOMPARE(heads(m_sim->requests()).mid(0, 3), (QStringList{"4903", "4903", "4803"}));
    QCOMPARE(m_signals->count(TimedOut), 1);
}

// A silent device and a Take's write of one preset: the frame is given up
// in its own few seconds, not in the import's 250, and the preset is lost.
void TestLinkDoubt::onePresetWriteGivesUpSoon()
{
    FaultOptions faults;
    faults.muteCode = 0x44;
    m_sim->setFaults(faults);
    linkUp();
    QSignalSpy written(m_link, &Singleton_SerialPort::presetWritten);
    const LinkRequest::Preset preset{5, QByteArray(Preset::WindowsSize + Preset::LayersSize, '\0'),
                                     QByteArray(Preset::SourcesSize, '\0'),
                                     QByteArray(Preset::ChannelDataSize, '\0')};
    QElapsedTimer clock;
    clock.start();
    m_link->send(LinkRequest::writePresets({preset}));
    QVERIFY(waitFor(TimedOut, 1, 60000));
    QVERIFY2(clock.elapsed() < 20000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(written.contains({5, int(Singleton_SerialPort::PresetWriteLost)}));
}

// Every recall of a batch is answered within its own time, but all of them
// take longer than the batch's one budget: the batch is given up.
void TestLinkDoubt::batchSharesOneBudget()
{
    FaultOptions faults;
    faults.slowCode = 0x49;
    faults.slowMs = 1500;
    m_sim->setFaults(faults);
    linkUp();
    QList<LinkRequest> batch;
    for (int preset : {1, 2, 3, 4})
        batch << timed(LinkRequest::recall(preset), 4000);
    m_link->send(batch, 4000);
    QVERIFY(waitFor(Idle, 1, 30000));
    QCOMPARE(m_signals->count(TimedOut), 1);
    QVERIFY(!heads(m_sim->requests()).contains(QStringLiteral("4904")));
}

// A reply ends with its posting: answered, refused before it went, or
// dropped with the queue when a recall before it is given up.
void TestLinkDoubt::repliesTellEachPostingsEnd()
{
    FaultOptions faults;
    faults.muteCode = 0x49;
    m_sim->setFaults(faults);
    linkUp();
    const auto errorOf = [](LinkReply *reply) {
        auto error = std::make_shared<int>(-1);
        QObject::connect(reply, &LinkReply::finished, reply, [reply, error] { *error = reply->error(); });
        return error;
    };
    const auto read = errorOf(m_link->send(LinkRequest::readSignalFlags()));
    const auto refused = errorOf(m_link->send(LinkRequest::recall(DeviceData::Presets)));
    const auto batch = errorOf(m_link->send({LinkRequest::setWindowSource(3, QByteArray::fromHex("0105")),
                                             LinkRequest::recall(4)}, 2000));
    const auto behind = errorOf(m_link->send(LinkRequest::readSignalFlags()));
    QTRY_COMPARE_WITH_TIMEOUT(*behind, int(LinkReply::Unanswered), 30000);
    QCOMPARE(*read, int(LinkReply::NoError));
    QCOMPARE(*refused, int(LinkReply::NotSent));
    QCOMPARE(*batch, int(LinkReply::Unanswered));
}

// The source is switched on entry 2 but its acknowledgement is lost.
void TestLinkDoubt::switchSignalUnanswered()
{
    FaultOptions faults;
    faults.muteCode = 0x80;
    m_sim->setFaults(faults);
    linkUp();
    QVERIFY(m_sim->model().entries[Entry].mainSignal != NewSignal);
    m_link->send(timed(LinkRequest::setMainSignal(Entry, NewSignal), 2000));
    QVERIFY(waitFor(Idle, 1, 30000));
    QCOMPARE(heads(m_sim->requests()), (QStringList{"8002", "1100"}));
}

// The device took the switch: the host agrees and says nothing.
void TestLinkDoubt::lostAcknowledgementSettledByReadingBack()
{
    switchSignalUnanswered();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(m_link->dm_data.inCards[Entry].mainSignal, NewSignal);
    QCOMPARE(m_signals->names.filter(QStringLiteral("send_explain_end")), QStringList());
    QCOMPARE(m_signals->count(QStringLiteral("repalceInCardMainSingle(2)")), 1);
}

// The device did not take it: the operator is told, and the host holds the
// signal the device holds.
void TestLinkDoubt::writeNotTakenIsReported()
{
    const int held = m_sim->model().entries[Entry].mainSignal;
    connect(m_sim.get(), &DeviceSimulator::requestReceived, this, [this, held](const QByteArray &request) {
        if (quint8(request.at(8)) == 0x80)
            m_sim->model().entries[Entry].mainSignal = held;
    });
    switchSignalUnanswered();
    QVERIFY(!QTest::currentTestFailed());
    QCOMPARE(m_signals->count(TimedOut), 1);
    QCOMPARE(m_link->dm_data.inCards[Entry].mainSignal, held);
    QCOMPARE(m_signals->count(QStringLiteral("repalceInCardMainSingle(2)")), 0);
}

QTEST_GUILESS_MAIN(TestLinkDoubt)
#include "tst_linkdoubt.moc"
