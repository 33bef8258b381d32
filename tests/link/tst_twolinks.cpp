// Two links in one program, each to a processor of its own: what one asks
// reaches only its device, and what a device answers fills only its link's
// record.

#include <linkedsimulator.h>
#include <linkreply.h>
#include <linkrequest.h>
#include <protocol.h>
#include <singleton_serialport.h>

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>

namespace {

constexpr int Wait = 10000;
constexpr quint8 Recall = 0x49;

int recallsIn(const QByteArrayList &requests)
{
    return int(std::count_if(requests.cbegin(), requests.cend(), [](const QByteArray &request) {
        return quint8(request.at(Protocol::CodeOffset)) == Recall;
    }));
}

// Sends the request on each link at once and waits until both have ended.
bool runOnBoth(LinkedSimulator &a, const LinkRequest &onA, LinkedSimulator &b, const LinkRequest &onB)
{
    QSignalSpy endedA(a.link()->send(onA), &LinkReply::finished);
    QSignalSpy endedB(b.link()->send(onB), &LinkReply::finished);
    return QTest::qWaitFor([&] { return !endedA.isEmpty() && !endedB.isEmpty(); }, Wait);
}

} // namespace

class TestTwoLinks : public QObject
{
    Q_OBJECT

private slots:
    void eachLinkKeepsToItsDevice();
};

// The devices' walls differ, so a record filled from the other device, or a
// recall that crossed over, shows.
void TestTwoLinks::eachLinkKeepsToItsDevice()
{
    LinkedSimulator a;
    LinkedSimulator b;
    a.model().wall.setGrid({1920, 1920}, {1080, 1080});
    b.model().wall.setGrid({1280, 1280, 1280}, {720});
    QVERIFY(a.connectLink());
    QVERIFY(b.connectLink());
    QVERIFY(runOnBoth(a, LinkRequest::connectionRead(), b, LinkRequest::connectionRead()));
    QCOMPARE(a.link()->dm_data.colWidths, QVector<int>({1920, 1920}));
    QCOMPARE(a.link()->dm_data.rowHeights, QVector<int>({1080, 1080}));
    QCOMPARE(b.link()->dm_data.colWidths, QVector<int>({1280, 1280, 1280}));
    QCOMPARE(b.link()->dm_data.rowHeights, QVector<int>({720}));

    QSignalSpy recalledA(a.link(), &Singleton_SerialPort::presetRecalled);
    QSignalSpy recalledB(b.link(), &Singleton_SerialPort::presetRecalled);
    const int requestsA = a.requests().size();
    const int requestsB = b.requests().size();
    QVERIFY(runOnBoth(a, LinkRequest::recall(3), b, LinkRequest::recall(5)));
    QCOMPARE(recallsIn(a.requests().mid(requestsA)), 1);
    QCOMPARE(recallsIn(b.requests().mid(requestsB)), 1);
    QCOMPARE(a.model().currentPreset, 3);
    QCOMPARE(b.model().currentPreset, 5);
    QCOMPARE(recalledA.size(), 1);
    QCOMPARE(recalledA.at(0), QVariantList({3, true}));
    QCOMPARE(recalledB.size(), 1);
    QCOMPARE(recalledB.at(0), QVariantList({5, true}));
}

QTEST_GUILESS_MAIN(TestTwoLinks)
#include "tst_twolinks.moc"
