// A sequence played on a manual clock against a recorder standing in for
// the app: the steps are asked at their instants, a pause keeps the time
// left, a late confirmation holds the next step, a failure stops or skips
// as the sequence says, answers of a run that was left are ignored and a
// loop that fails whole ends instead of spinning.

#include "manualclock.h"
#include "sequenceplayer.h"
#include "steprecorder.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

namespace {

const QDateTime Start(QDate(2026, 5, 1), QTime(19, 0), Qt::UTC);

// P1M1 for 10 s, P2M5 for 2.5 s, the look "Opening" for 60 s.
Sequence threeSteps(bool loop, Sequence::OnFailure onFailure = Sequence::OnFailure::Stop)
{
    Sequence sequence;
    sequence.name = QStringLiteral("Walk-in");
    sequence.loop = loop;
    sequence.onFailure = onFailure;
    sequence.steps = {SequenceStep::recall(0, 0, 10000), SequenceStep::recall(1, 4, 2500),
                      SequenceStep::recallLook(QStringLiteral("Opening"), 60000)};
    return sequence;
}

} // namespace

class TestSequencePlayer : public QObject
{
    Q_OBJECT

private slots:
    void stepsPlayAtTheirInstants_data();
    void stepsPlayAtTheirInstants();
    void pauseKeepsTheTimeLeft();
    void aLateConfirmationHoldsTheNextStep();
    void aFailedStepStopsOrIsSkipped_data();
    void aFailedStepStopsOrIsSkipped();
    void answersOfARunLeftAreIgnored();
    void aLoopThatFailsWholeEnds_data();
    void aLoopThatFailsWholeEnds();
};

void TestSequencePlayer::stepsPlayAtTheirInstants_data()
{
    QTest::addColumn<bool>("loop");
    QTest::addColumn<QList<qint64>>("times");
    QTest::newRow("once") << false << QList<qint64>{0, 10000, 12500};
    QTest::newRow("loop") << true << QList<qint64>{0, 10000, 12500, 72500, 82500, 85000, 145000};
}

void TestSequencePlayer::stepsPlayAtTheirInstants()
{
    QFETCH(bool, loop);
    QFETCH(QList<qint64>, times);
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    SequencePlayer player(threeSteps(loop), &clock, recorder.runner());
    QList<qint64> finishedAt;
    connect(&player, &SequencePlayer::finished, this, [&](bool completed) {
        QVERIFY(completed);
        finishedAt.append(recorder.elapsedMs());
    });
    QSignalSpy started(&player, &SequencePlayer::stepStarted);

    player.start();
    clock.advance(4000);
    QCOMPARE(player.step(), 0);
    QCOMPARE(player.timeLeftMs(), qint64(6000));
    clock.advance(145000 - 4000);
    QCOMPARE(recorder.times(), times);
    QCOMPARE(started.size(), times.size());
    QCOMPARE(recorder.labels().mid(0, 3), (QStringList{"P1M1", "P2M5", "Opening"}));
    if (loop) {
        QVERIFY(finishedAt.isEmpty());
        QCOMPARE(player.state(), SequencePlayer::State::Playing);
        QCOMPARE(player.step(), 0);
    } else {
        QCOMPARE(finishedAt, QList<qint64>{72500});
        QCOMPARE(player.state(), SequencePlayer::State::Stopped);
        QCOMPARE(player.step(), -1);
    }
}

void TestSequencePlayer::pauseKeepsTheTimeLeft()
{
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    SequencePlayer player(threeSteps(false), &clock, recorder.runner());
    QVERIFY(!player.pause());
    QVERIFY(!player.resume());
    player.start();
    QVERIFY(!player.resume());
    clock.advance(4000);
    QSignalSpy changed(&player, &SequencePlayer::changed);
    QVERIFY(player.pause());
    QCOMPARE(changed.size(), 1);
    QCOMPARE(player.state(), SequencePlayer::State::Paused);
    clock.advance(qint64(3600) * 1000);
    QCOMPARE(recorder.calls.size(), 1);
    QCOMPARE(player.timeLeftMs(), qint64(6000));
    QVERIFY(player.resume());
    QCOMPARE(player.timeLeftMs(), qint64(6000));
    clock.advance(5999);
    QCOMPARE(recorder.calls.size(), 1);
    clock.advance(1);
    QCOMPARE(recorder.times(), (QList<qint64>{0, 3604000 + 6000}));
}

// The dwell runs from the ask; the next step waits for the device's answer
// when it comes after the dwell, and is not asked again when resumed.
void TestSequencePlayer::aLateConfirmationHoldsTheNextStep()
{
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    recorder.answer(QStringLiteral("P1M1"), StepRecorder::Answer::Later);
    SequencePlayer player(threeSteps(false), &clock, recorder.runner());
    player.start();
    clock.advance(15000);
    QCOMPARE(recorder.calls.size(), 1);
    QCOMPARE(player.timeLeftMs(), qint64(0));
    QVERIFY(player.pause());
    recorder.pending.takeFirst()(true, {});
    clock.advance(1000);
    QCOMPARE(recorder.calls.size(), 1);
    QVERIFY(player.resume());
    QCOMPARE(recorder.times(), (QList<qint64>{0, 16000}));
    QCOMPARE(player.step(), 1);
}

void TestSequencePlayer::aFailedStepStopsOrIsSkipped_data()
{
    QTest::addColumn<bool>("skip");
    QTest::addColumn<QList<qint64>>("times");
    QTest::addColumn<QList<bool>>("finished");
    // P2M5 fails 1 s after it was asked.
    QTest::newRow("stop") << false << QList<qint64>{0, 10000} << QList<bool>{false};
    QTest::newRow("skip") << true << QList<qint64>{0, 10000, 11000} << QList<bool>{true};
}

void TestSequencePlayer::aFailedStepStopsOrIsSkipped()
{
    QFETCH(bool, skip);
    QFETCH(QList<qint64>, times);
    QFETCH(QList<bool>, finished);
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    recorder.answer(QStringLiteral("P2M5"), StepRecorder::Answer::Later);
    SequencePlayer player(threeSteps(false, skip ? Sequence::OnFailure::Skip : Sequence::OnFailure::Stop), &clock, recorder.runner());
    QSignalSpy failed(&player, &SequencePlayer::stepFailed);
    QSignalSpy ended(&player, &SequencePlayer::finished);
    player.start();
    clock.advance(11000);
    QCOMPARE(recorder.pending.size(), 1);
    recorder.pending.takeFirst()(false, QStringLiteral("no answer"));
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0), (QVariantList{1, QStringLiteral("no answer")}));
    clock.advance(qint64(3600) * 1000);
    QCOMPARE(recorder.times(), times);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).toBool(), finished.at(0));
    QCOMPARE(player.state(), SequencePlayer::State::Stopped);
    QCOMPARE(player.step(), -1);
}

void TestSequencePlayer::answersOfARunLeftAreIgnored()
{
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    recorder.answer(QStringLiteral("P1M1"), StepRecorder::Answer::Later);
    auto player = std::make_unique<SequencePlayer>(threeSteps(false), &clock, recorder.runner());
    QSignalSpy failed(player.get(), &SequencePlayer::stepFailed);
    player->start();
    player->stop();
    player->start();
    QCOMPARE(recorder.pending.size(), 2);
    // The first run's answer: the second run's first step still waits.
    recorder.pending.at(0)(true, {});
    recorder.pending.at(0)(false, QStringLiteral("late"));
    clock.advance(20000);
    QCOMPARE(recorder.calls.size(), 2);
    QCOMPARE(failed.size(), 0);
    QCOMPARE(player->step(), 0);
    recorder.answer(QStringLiteral("P2M5"), StepRecorder::Answer::Later);
    recorder.pending.at(1)(true, {});
    QCOMPARE(player->step(), 1);
    // Answered twice within its dwell: the second answer is not the step's.
    QCOMPARE(recorder.pending.size(), 3);
    recorder.pending.at(2)(true, {});
    recorder.pending.at(2)(false, QStringLiteral("twice"));
    QCOMPARE(failed.size(), 0);
    QCOMPARE(player->step(), 1);
    // The player is gone when the device answers.
    recorder.answer(QStringLiteral("Opening"), StepRecorder::Answer::Later);
    clock.advance(2500);
    QCOMPARE(recorder.pending.size(), 4);
    player.reset();
    recorder.pending.at(3)(false, QStringLiteral("after the end"));
}

void TestSequencePlayer::aLoopThatFailsWholeEnds_data()
{
    QTest::addColumn<bool>("atOnce");
    QTest::newRow("at once") << true;
    QTest::newRow("later") << false;
}

void TestSequencePlayer::aLoopThatFailsWholeEnds()
{
    QFETCH(bool, atOnce);
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    for (const char *label : {"P1M1", "P2M5", "Opening"})
        recorder.answer(QString::fromLatin1(label), atOnce ? StepRecorder::Answer::Fail : StepRecorder::Answer::Later);
    SequencePlayer player(threeSteps(true, Sequence::OnFailure::Skip), &clock, recorder.runner());
    QSignalSpy failed(&player, &SequencePlayer::stepFailed);
    QSignalSpy ended(&player, &SequencePlayer::finished);
    player.start();
    for (int i = 0; i < 3 && !recorder.pending.isEmpty(); ++i) {
        clock.advance(500);
        recorder.pending.takeFirst()(false, QStringLiteral("off"));
    }
    QCOMPARE(recorder.calls.size(), 3);
    QCOMPARE(failed.size(), 3);
    QCOMPARE(ended.size(), 1);
    QCOMPARE(ended.at(0).at(0).toBool(), false);
    QCOMPARE(player.state(), SequencePlayer::State::Stopped);
}

QTEST_GUILESS_MAIN(TestSequencePlayer)
#include "tst_sequenceplayer.moc"
