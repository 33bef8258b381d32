// The clocks the show runs on: the manual one fires each timer at its own
// instant, in order, and a timer started while another fires still fires
// in the same step; the system's fires at its instant.

#include "manualclock.h"
#include "systemclock.h"

#include <QSignalSpy>
#include <QtTest>

class TestShowClock : public QObject
{
    Q_OBJECT

private slots:
    void manualTimersFireInOrderAtTheirInstants();
    void settingTheManualClockFiresWhatIsDue();
    void systemTimerFires();
};

void TestShowClock::manualTimersFireInOrderAtTheirInstants()
{
    const QDateTime start(QDate(2026, 3, 29), QTime(0, 0), Qt::UTC);
    ManualClock clock(start);
    ShowTimer *late = clock.createTimer(&clock);
    ShowTimer *early = clock.createTimer(&clock);
    QList<QPair<QString, QDateTime>> fired;
    connect(late, &ShowTimer::timeout, this, [&] { fired.append({"late", clock.now()}); });
    connect(early, &ShowTimer::timeout, this, [&] {
        fired.append({"early", clock.now()});
        if (fired.size() == 1)
            early->start(clock.now().addSecs(5)); // again, before the late one
    });
    late->start(start.addSecs(30));
    early->start(start.addSecs(10));
    clock.advance(qint64(20) * 1000);
    QCOMPARE(fired.size(), 2);
    QCOMPARE(fired.at(1).second, start.addSecs(15));
    QCOMPARE(clock.now(), start.addSecs(20));
    clock.advance(qint64(60) * 1000);
    QCOMPARE(fired.size(), 3);
    QCOMPARE(fired.at(2), qMakePair(QStringLiteral("late"), start.addSecs(30)));
    QVERIFY(!late->isActive());
}

void TestShowClock::settingTheManualClockFiresWhatIsDue()
{
    const QDateTime start(QDate(2026, 10, 25), QTime(0, 0), Qt::UTC);
    ManualClock clock(start);
    ShowTimer *timer = clock.createTimer(&clock);
    QSignalSpy jumped(&clock, &ShowClock::jumped);
    QSignalSpy fired(timer, &ShowTimer::timeout);
    timer->start(start.addSecs(3600));
    clock.setTime(start.addSecs(-3600));
    QCOMPARE(jumped.size(), 1);
    QCOMPARE(fired.size(), 0);
    clock.setTime(start.addSecs(7200));
    QCOMPARE(fired.size(), 1);
    QCOMPARE(clock.now(), start.addSecs(7200));
}

void TestShowClock::systemTimerFires()
{
    SystemClock clock;
    ShowTimer *timer = clock.createTimer(&clock);
    QSignalSpy fired(timer, &ShowTimer::timeout);
    const QDateTime due = clock.now().addMSecs(200);
    timer->start(due);
    QVERIFY(fired.wait(5000));
    QVERIFY(clock.now() >= due);
    QVERIFY(!timer->isActive());
}

QTEST_GUILESS_MAIN(TestShowClock)
#include "tst_showclock.moc"
