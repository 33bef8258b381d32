// The station's sequences together: a hand recall pauses only those with a
// step on its processor, a new list stops what changed or went and leaves
// the rest playing, and every control answers with its fault.

#include "manualclock.h"
#include "sequencedeck.h"
#include "steprecorder.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

const QDateTime Start(QDate(2026, 5, 1), QTime(19, 0), Qt::UTC);

Sequence sequenceOf(const QString &name, const QList<SequenceStep> &steps)
{
    Sequence sequence;
    sequence.name = name;
    sequence.loop = true;
    sequence.steps = steps;
    return sequence;
}

// "P1" and "P2" on their processor (also 1 for the second P1 step), "Look"
// on the look "Opening".
QList<Sequence> station()
{
    return {sequenceOf(QStringLiteral("P1"), {SequenceStep::recall(1, 0, 5000), SequenceStep::recall(0, 3, 5000)}),
            sequenceOf(QStringLiteral("P2"), {SequenceStep::recall(1, 1, 5000)}),
            sequenceOf(QStringLiteral("Look"), {SequenceStep::recallLook(QStringLiteral("Opening"), 5000)})};
}

QMap<QString, SequencePlayer::State> statesOf(const SequenceDeck &deck)
{
    QMap<QString, SequencePlayer::State> states;
    for (const SequenceDeck::Status &status : deck.statuses())
        states.insert(status.name, status.state);
    return states;
}

} // namespace

class TestSequenceDeck : public QObject
{
    Q_OBJECT

private slots:
    void aHandRecallPausesWhatTouchesItsProcessor_data();
    void aHandRecallPausesWhatTouchesItsProcessor();
    void aNewListStopsWhatChanged();
    void controlsAnswerWithTheirFault();
};

void TestSequenceDeck::aHandRecallPausesWhatTouchesItsProcessor_data()
{
    QTest::addColumn<bool>("knowsLooks");
    QTest::addColumn<int>("processor");
    QTest::addColumn<QStringList>("paused");
    // "Opening" recalls on processor 3 only; unknown, a look may touch any.
    QTest::newRow("processor 1") << true << 0 << QStringList{"P1"};
    QTest::newRow("processor 2") << true << 1 << QStringList{"P1", "P2"};
    QTest::newRow("processor 3") << true << 2 << QStringList{"Look"};
    QTest::newRow("processor 4") << true << 3 << QStringList{};
    QTest::newRow("looks unknown") << false << 3 << QStringList{"Look"};
}

void TestSequenceDeck::aHandRecallPausesWhatTouchesItsProcessor()
{
    QFETCH(bool, knowsLooks);
    QFETCH(int, processor);
    QFETCH(QStringList, paused);
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    SequenceDeck deck(&clock);
    deck.setRunner(recorder.deckRunner());
    if (knowsLooks)
        deck.setLookCovers([](const QString &look, int on) { return look == QLatin1String("Opening") && on == 2; });
    QCOMPARE(deck.setSequences(station()), QString());
    const QList<Sequence> more{sequenceOf(QStringLiteral("Stopped"), {SequenceStep::recall(0, 0, 5000)})};
    QCOMPARE(deck.store(more.first()), QString());
    for (const Sequence &sequence : station())
        QCOMPARE(deck.start(sequence.name), QString());
    clock.advance(6000);
    QCOMPARE(deck.pauseFor(processor), paused);
    const QMap<QString, SequencePlayer::State> states = statesOf(deck);
    for (auto it = states.cbegin(); it != states.cend(); ++it) {
        const SequencePlayer::State expected = it.key() == QLatin1String("Stopped") ? SequencePlayer::State::Stopped
                                               : paused.contains(it.key())          ? SequencePlayer::State::Paused
                                                                                    : SequencePlayer::State::Playing;
        QCOMPARE(it.value(), expected);
    }
    QCOMPARE(deck.pauseFor(processor), QStringList());
}

void TestSequenceDeck::aNewListStopsWhatChanged()
{
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    recorder.answer(QStringLiteral("Opening"), StepRecorder::Answer::Later);
    SequenceDeck deck(&clock);
    deck.setRunner(recorder.deckRunner());
    QCOMPARE(deck.setSequences(station()), QString());
    for (const Sequence &sequence : station())
        QCOMPARE(deck.start(sequence.name), QString());
    clock.advance(6000);
    QSignalSpy changed(&deck, &SequenceDeck::changed);
    QSignalSpy failed(&deck, &SequenceDeck::stepFailed);
    QList<Sequence> next = station();
    next[1].steps[0].dwellMs = 7000;
    next.removeAt(2);
    QCOMPARE(deck.setSequences(next), QString());
    QCOMPARE(deck.sequences(), next);
    QCOMPARE(deck.status(QStringLiteral("P1"))->state, SequencePlayer::State::Playing);
    QCOMPARE(deck.status(QStringLiteral("P1"))->step, 1);
    QCOMPARE(deck.status(QStringLiteral("P2"))->state, SequencePlayer::State::Stopped);
    QVERIFY(!deck.status(QStringLiteral("Look")));
    QVERIFY(!deck.player(QStringLiteral("Look")));
    QStringList names;
    for (const QList<QVariant> &signal : std::as_const(changed))
        names.append(signal.at(0).toString());
    names.sort();
    QCOMPARE(names, (QStringList{"Look", "P2"}));
    // The look's answer comes after its sequence went.
    QCOMPARE(recorder.pending.size(), 1);
    recorder.pending.takeFirst()(false, QStringLiteral("late"));
    QCOMPARE(failed.size(), 0);
    // A list that cannot be kept leaves the deck as it was.
    next.append(next.first());
    QCOMPARE(deck.setSequences(next), QStringLiteral(R"(sequences[2].name: "P1" is taken)"));
    QCOMPARE(deck.sequences().size(), 2);
    QCOMPARE(deck.status(QStringLiteral("P1"))->state, SequencePlayer::State::Playing);
    // Only what plays on recalls: not the P2 that was replaced.
    const int before = int(recorder.calls.size());
    clock.advance(20000);
    const QStringList after = recorder.labels().mid(before);
    QCOMPARE(QSet<QString>(after.cbegin(), after.cend()), (QSet<QString>{"P2M1", "P1M4"}));
}

void TestSequenceDeck::controlsAnswerWithTheirFault()
{
    ManualClock clock(Start);
    StepRecorder recorder(&clock);
    recorder.answer(QStringLiteral("P2M2"), StepRecorder::Answer::Fail);
    SequenceDeck deck(&clock);
    QSignalSpy failed(&deck, &SequenceDeck::stepFailed);
    QSignalSpy finished(&deck, &SequenceDeck::finished);
    QCOMPARE(deck.setSequences(station()), QString());
    // No runner yet: the step fails, the run stops.
    QCOMPARE(deck.start(QStringLiteral("p2")), QString());
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).at(2).toString(), QStringLiteral("nothing recalls the steps"));
    QCOMPARE(finished.at(0), (QVariantList{QStringLiteral("P2"), false}));
    deck.setRunner(recorder.deckRunner());

    QCOMPARE(deck.start(QStringLiteral("Interval")), QStringLiteral(R"(no sequence "Interval")"));
    QCOMPARE(deck.pause(QStringLiteral("P1")), QStringLiteral(R"("P1" is not playing)"));
    QCOMPARE(deck.start(QStringLiteral("P1")), QString());
    QCOMPARE(deck.resume(QStringLiteral("P1")), QStringLiteral(R"("P1" is not paused)"));
    clock.advance(6000);
    QCOMPARE(deck.status(QStringLiteral("P1"))->step, 1);
    QCOMPARE(deck.start(QStringLiteral("P1")), QString());
    QCOMPARE(deck.status(QStringLiteral("P1"))->step, 0);
    QCOMPARE(deck.status(QStringLiteral("P1"))->timeLeftMs, qint64(5000));
    QCOMPARE(deck.pause(QStringLiteral("P1")), QString());
    QCOMPARE(deck.resume(QStringLiteral("P1")), QString());

    Sequence bad = sequenceOf(QStringLiteral("Bad"), {SequenceStep::recall(8, 0, 5000)});
    QCOMPARE(deck.store(bad), QStringLiteral("steps[0].processor: 1 to 8"));
    // Stored again as it is: it plays on; changed: it stops.
    QCOMPARE(deck.store(station().first()), QString());
    QCOMPARE(deck.status(QStringLiteral("P1"))->state, SequencePlayer::State::Playing);
    Sequence changed = station().first();
    changed.loop = false;
    QCOMPARE(deck.store(changed), QString());
    QCOMPARE(deck.status(QStringLiteral("P1"))->state, SequencePlayer::State::Stopped);
    QCOMPARE(deck.status(QStringLiteral("P1"))->loop, false);

    for (int i = deck.sequences().size(); i < Sequence::MaxCount; ++i)
        QCOMPARE(deck.store(sequenceOf(QString::number(i), {SequenceStep::recall(0, 0, 5000)})), QString());
    QCOMPARE(deck.store(sequenceOf(QStringLiteral("One more"), {SequenceStep::recall(0, 0, 5000)})),
             QStringLiteral("the station keeps 64 sequences at most"));
    QCOMPARE(deck.remove(QStringLiteral("LOOK")), QString());
    QCOMPARE(deck.remove(QStringLiteral("Look")), QStringLiteral(R"(no sequence "Look")"));
    QCOMPARE(deck.sequences().size(), Sequence::MaxCount - 1);

    QCOMPARE(deck.start(QStringLiteral("P1")), QString());
    QCOMPARE(deck.start(QStringLiteral("3")), QString());
    deck.stopAll();
    for (const SequenceDeck::Status &status : deck.statuses())
        QCOMPARE(status.state, SequencePlayer::State::Stopped);
}

QTEST_GUILESS_MAIN(TestSequenceDeck)
#include "tst_sequencedeck.moc"
