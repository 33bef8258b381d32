#include <onairmodel.h>

#include <QSignalSpy>
#include <QTest>

// What is on air and what the canvas edits: each transition from the
// states that can take it, and the combinations that cannot be refused.
class TestOnAirModel : public QObject
{
    Q_OBJECT

private slots:
    void recallsPendConfirmAndLose();
    void editsReachTheWallOnlyLiveOnItsPreset();
    void offlineAndBlindFollowTheLink();
    void impossibleCombinationsAreRefused();
};

using M = OnAirModel;

namespace {

M::State linkedOn(int preset)
{
    return *M::linked(M::State(), preset);
}

} // namespace

void TestOnAirModel::recallsPendConfirmAndLose()
{
    M::State state = *M::recallAsked(linkedOn(2), 5);
    QCOMPARE(state.air, M::Air::Pending);
    QCOMPARE(state.pending, 5);

    // A recall superseded by a later one ends without a say.
    M::State later = *M::recallAsked(state, 7);
    QCOMPARE(*M::recallEnded(later, 5, true), later);
    QCOMPARE(M::recallEnded(later, 7, true)->onAir, 7);

    // A lost recall leaves the wall unknown: the device may have switched.
    const M::State lost = *M::recallEnded(state, 5, false);
    QCOMPARE(lost.air, M::Air::Unknown);
    QCOMPARE(lost.onAir, -1);
    QVERIFY(lost.isValid());

    M model;
    QSignalSpy changed(&model, &M::changed);
    model.setLinked(2);
    model.setRecallAsked(5);
    QCOMPARE(model.onAir(), -1);
    QCOMPARE(model.wallPreset(), 5);
    model.setRecallEnded(5, true);
    QCOMPARE(model.onAir(), 5);
    QCOMPARE(changed.count(), 3);
}

void TestOnAirModel::editsReachTheWallOnlyLiveOnItsPreset()
{
    M model;
    model.setShown(0);
    QVERIFY(!model.editsReachWall()); // nothing known on air
    model.setLinked(2);
    QVERIFY(!model.editsReachWall()); // the canvas shows another preset
    model.setShown(2);
    QVERIFY(model.editsReachWall());
    model.setRecallAsked(4);
    QVERIFY(!model.editsReachWall());
    model.setShown(4); // queued behind the recall, an edit reaches preset 4
    QVERIFY(model.editsReachWall());
    model.setMode(M::Mode::Blind);
    QVERIFY(!model.editsReachWall());
}

void TestOnAirModel::offlineAndBlindFollowTheLink()
{
    M model;
    model.setLinked(3);
    model.setMode(M::Mode::Blind);
    model.setUnlinked();
    QCOMPARE(model.mode(), M::Mode::Offline); // blind needs a link to take to
    QCOMPARE(model.air(), M::Air::Unknown);
    model.setLinked(6);
    QCOMPARE(model.mode(), M::Mode::Live);
    QCOMPARE(model.onAir(), 6);
}

void TestOnAirModel::impossibleCombinationsAreRefused()
{
    const M::State live = linkedOn(1);
    QVERIFY(!M::modeSet(live, M::Mode::Offline)); // offline with a preset known on air
    const M::State offline = *M::modeSet(*M::unlinked(live), M::Mode::Offline);
    QVERIFY(!M::modeSet(offline, M::Mode::Blind));
    QVERIFY(!M::recallAsked(offline, 2));
    QVERIFY(!M::recallEnded(offline, 2, true));
    QVERIFY(!M::linked(M::State(), 16));
    QVERIFY(!M::recallAsked(live, -1));
    QVERIFY(!M::shownAs(live, 16));

    M::State broken = live;
    broken.mode = M::Mode::Offline;
    QVERIFY(!broken.isValid());
    broken = live;
    broken.pending = 3; // pending without a recall on its way
    QVERIFY(!broken.isValid());
}

QTEST_GUILESS_MAIN(TestOnAirModel)
#include "tst_onairmodel.moc"
