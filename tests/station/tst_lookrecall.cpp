// A look over three processors (one on a serial line, two over TCP), each
// with its own simulated device: every device gets its own preset, and a
// silent or unlinked one never holds the others back.

#include "lookrecall.h"
#include "looktarget.h"

#include <devicesimulator.h>
#include <singleton_serialport.h>

#include "linkedsimulator.h"
#include "ptyskip.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

constexpr int Processors = 3;

} // namespace

class TestLookRecall : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void eachProcessorTakesItsOwnPreset();
    void silentProcessorHoldsNoOneBack();
    void unlinkedProcessorIsSaidAtOnce();

private:
    bool link(int processor);
    LookRecall *recall(const Look &look);
    QByteArray lastHead(int processor) const;

    std::unique_ptr<DeviceSimulator> m_sims[Processors];
    std::unique_ptr<Singleton_SerialPort> m_links[Processors];
    QList<LookTarget *> m_targets;
    const Look m_look{QStringLiteral("Opening"), {{0, 3}, {1, 7}, {2, 12}}};
};

void TestLookRecall::initTestCase()
{
    for (int i = 0; i < Processors; ++i) {
        m_sims[i] = std::make_unique<DeviceSimulator>();
        m_links[i] = std::make_unique<Singleton_SerialPort>();
        m_targets << new LookTarget(QStringLiteral("P%1").arg(i + 1), m_links[i].get(), this);
    }
    // The first on a serial line where the system has one.
    if (HasPty && m_sims[0]->openPty()) {
        m_links[0]->setLinkSettings(LinkedSimulator::serialSettings(m_sims[0]->ptyPath()));
    } else {
        QVERIFY(m_sims[0]->listenTcp());
        m_links[0]->setLinkSettings(LinkedSimulator::tcpSettings(m_sims[0]->tcpPort()));
    }
    for (int i = 1; i < Processors; ++i) {
        QVERIFY(m_sims[i]->listenTcp());
        m_links[i]->setLinkSettings(LinkedSimulator::tcpSettings(m_sims[i]->tcpPort()));
    }
    for (int i = 0; i < Processors; ++i)
        QVERIFY(link(i));
}

void TestLookRecall::cleanupTestCase()
{
    qDeleteAll(m_targets);
    m_targets.clear();
    for (auto &link : m_links)
        link.reset();
}

bool TestLookRecall::link(int processor)
{
    Singleton_SerialPort *link = m_links[processor].get();
    link->postCommand(Command::Connect);
    if (!QTest::qWaitFor([link] { return link->isConnected(); }, 10000))
        return false;
    link->send(LinkRequest::connectionRead());
    return QTest::qWaitFor([link] { return link->state()->isReady(); }, 30000);
}

LookRecall *TestLookRecall::recall(const Look &look)
{
    auto *recall = new LookRecall(look, m_targets, this);
    for (auto &sim : m_sims)
        sim->clearRequests();
    recall->start();
    return recall;
}

QByteArray TestLookRecall::lastHead(int processor) const
{
    const QByteArrayList requests = m_sims[processor]->requests();
    return requests.isEmpty() ? QByteArray() : requests.last().mid(8, 2).toHex();
}

// A window follows its recall only once every processor's frame is on
// its way, so that no window's redraw delays another processor's frame.
void TestLookRecall::eachProcessorTakesItsOwnPreset()
{
    QStringList steps;
    for (int i = 0; i < Processors; ++i) {
        Singleton_SerialPort *link = m_links[i].get();
        m_targets.at(i)->setRecall(
            [&steps, link, i](int preset) {
                link->send(LinkRequest::recall(preset));
                steps << QStringLiteral("post %1").arg(i);
                return true;
            },
            [&steps, i](int) { steps << QStringLiteral("follow %1").arg(i); });
    }
    LookRecall *look = recall(m_look);
    for (LookTarget *target : std::as_const(m_targets))
        target->setRecall({}, {});
    QCOMPARE(steps, QStringList({"post 0", "post 1", "post 2", "follow 0", "follow 1", "follow 2"}));
    QVERIFY(QTest::qWaitFor([look] { return look->isFinished(); }, 15000));
    QVERIFY(look->succeeded());
    QCOMPARE(lastHead(0), QByteArray("4903"));
    QCOMPARE(lastHead(1), QByteArray("4907"));
    QCOMPARE(lastHead(2), QByteArray("490c"));
    for (int i = 0; i < Processors; ++i)
        QCOMPARE(m_sims[i]->model().currentPreset, m_look.entries.at(i).preset);
}

// The third device never answers a recall: the other two confirm theirs
// while its recall still waits, and the look then reports it failed.
void TestLookRecall::silentProcessorHoldsNoOneBack()
{
    FaultOptions silent;
    silent.muteCode = 0x49;
    m_sims[2]->setFaults(silent);
    QList<int> order;
    for (int i = 0; i < Processors; ++i)
        connect(m_targets.at(i), &LookTarget::recallEnded, this, [&order, i] { order << i; });
    LookRecall *look = recall({QStringLiteral("Break"), {{0, 5}, {1, 6}, {2, 8}}});
    QVERIFY(QTest::qWaitFor([look] { return look->isFinished(); }, 30000));
    m_sims[2]->setFaults({});
    const QList<LookRecall::Outcome> outcomes = look->outcomes();
    QCOMPARE(outcomes.at(0).result, LookRecall::Result::Confirmed);
    QCOMPARE(outcomes.at(1).result, LookRecall::Result::Confirmed);
    QVERIFY(outcomes.at(2).result == LookRecall::Result::Failed
            || outcomes.at(2).result == LookRecall::Result::NoAnswer);
    QCOMPARE(order.mid(0, 2).size(), 2);
    QVERIFY(!order.mid(0, 2).contains(2));
    QCOMPARE(m_sims[0]->model().currentPreset, 5);
    QCOMPARE(m_sims[1]->model().currentPreset, 6);
    for (LookTarget *target : std::as_const(m_targets))
        disconnect(target, &LookTarget::recallEnded, this, nullptr);
}

// A processor without its link is reported at once and sent nothing.
void TestLookRecall::unlinkedProcessorIsSaidAtOnce()
{
    m_links[1]->postCommand(Command::Disconnect);
    QVERIFY(QTest::qWaitFor([this] { return !m_links[1]->state()->isOpen(); }, 10000));
    LookRecall *look = recall(m_look);
    QCOMPARE(look->outcomes().at(1).result, LookRecall::Result::NotLinked);
    QVERIFY(QTest::qWaitFor([look] { return look->isFinished(); }, 15000));
    QCOMPARE(look->outcomes().at(0).result, LookRecall::Result::Confirmed);
    QCOMPARE(look->outcomes().at(2).result, LookRecall::Result::Confirmed);
    QCOMPARE(m_sims[1]->requests().size(), 0);
}

QTEST_GUILESS_MAIN(TestLookRecall)
#include "tst_lookrecall.moc"
