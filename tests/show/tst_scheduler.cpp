// Schedules fired on a manual clock in Berlin's time zone: each selected day
// exactly once across daylight saving changes, the master switch, late and
// missed occurrences at start and when the clock is set, edits.

#include "manualclock.h"
#include "scheduler.h"

#include <QtTest>

#include <memory>

namespace {

struct Occurrence
{
    QString name;
    QDateTime at;
    qint64 lateMs = 0;
    bool operator==(const Occurrence &other) const
    {
        return name == other.name && at == other.at && lateMs == other.lateMs;
    }
};

QDateTime utc(int year, int month, int day, int hour, int minute = 0)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute), Qt::UTC);
}

Schedule daily(const QString &name, const QTime &time)
{
    Schedule schedule;
    schedule.name = name;
    schedule.time = time;
    schedule.days = Schedule::EveryDay;
    schedule.action = Schedule::Action::RecallLook;
    schedule.target = QStringLiteral("Opening");
    return schedule;
}

// A scheduler in Berlin on the clock, and what it said.
struct Station
{
    explicit Station(ManualClock *clock)
        : scheduler(clock)
    {
        scheduler.setTimeZone(QTimeZone("Europe/Berlin"));
        QObject::connect(&scheduler, &Scheduler::fired, &scheduler,
                         [this](const Schedule &schedule, const QDateTime &at, qint64 lateMs) {
                             fired.append({schedule.name, at, lateMs});
                         });
        QObject::connect(&scheduler, &Scheduler::missed, &scheduler,
                         [this](const Schedule &schedule, const QDateTime &at) { missed.append({schedule.name, at}); });
    }

    Scheduler scheduler;
    QList<Occurrence> fired;
    QList<Occurrence> missed;
};

} // namespace

Q_DECLARE_METATYPE(Occurrence)

class TestScheduler : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void daylightSavingDaysFireOnce_data();
    void daylightSavingDaysFireOnce();
    void daysAndDatesSelect();
    void masterSwitchHoldsAndDrops();
    void lateAtStart_data();
    void lateAtStart();
    void clockSetBackDoesNotFireAgain();
    void clockSetForwardIsLateOrMissed();
    void editsPlanFromNow();
    void hostileStateIsRefused();
};

void TestScheduler::init()
{
    if (!QTimeZone("Europe/Berlin").isValid())
        QSKIP("this machine has no time zone data for Europe/Berlin");
}

void TestScheduler::daylightSavingDaysFireOnce_data()
{
    QTest::addColumn<QDateTime>("start");
    QTest::addColumn<qint64>("stepMs");
    QTest::addColumn<QList<QDateTime>>("expected");
    // 02:30 is skipped on 03-29 (fires at 03:30 CEST) and read twice on
    // 10-25 (fires at the first, CEST).
    const QList<QDateTime> spring{utc(2026, 3, 28, 1, 30), utc(2026, 3, 29, 1, 30), utc(2026, 3, 30, 0, 30)};
    const QList<QDateTime> autumn{utc(2026, 10, 24, 0, 30), utc(2026, 10, 25, 0, 30), utc(2026, 10, 26, 1, 30)};
    const qint64 hour = qint64(3600) * 1000;
    QTest::newRow("spring, hour by hour") << utc(2026, 3, 27, 12) << hour << spring;
    QTest::newRow("spring, at once") << utc(2026, 3, 27, 12) << qint64(3) * 24 * hour << spring;
    QTest::newRow("autumn, hour by hour") << utc(2026, 10, 23, 12) << hour << autumn;
    QTest::newRow("autumn, at once") << utc(2026, 10, 23, 12) << qint64(3) * 24 * hour << autumn;
}

void TestScheduler::daylightSavingDaysFireOnce()
{
    QFETCH(QDateTime, start);
    QFETCH(qint64, stepMs);
    QFETCH(QList<QDateTime>, expected);
    ManualClock clock(start);
    Station station(&clock);
    station.scheduler.setSchedules({daily("Night", QTime(2, 30))});
    station.scheduler.start();
    while (clock.now() < start.addDays(3))
        clock.advance(stepMs);
    QList<Occurrence> wanted;
    for (const QDateTime &at : expected)
        wanted.append({"Night", at, 0});
    QCOMPARE(station.fired, wanted);
    QVERIFY(station.missed.isEmpty());
}

void TestScheduler::daysAndDatesSelect()
{
    ManualClock clock(utc(2026, 12, 13, 23)); // Monday 00:00 in Berlin
    Station station(&clock);
    Schedule weekdays = daily("MWF", QTime(9, 0));
    weekdays.days = Schedule::dayBit(Qt::Monday) | Schedule::dayBit(Qt::Wednesday) | Schedule::dayBit(Qt::Friday);
    Schedule eve = daily("Eve", QTime(18, 0));
    eve.days = 0;
    eve.date = QDate(2026, 12, 24);
    Schedule off = daily("Off", QTime(12, 0));
    off.enabled = false;
    station.scheduler.setSchedules({weekdays, eve, off});
    station.scheduler.start();
    clock.advance(qint64(15) * 24 * 3600 * 1000);
    QList<Occurrence> wanted;
    for (int day : {14, 16, 18, 21, 23})
        wanted.append({"MWF", utc(2026, 12, day, 8), 0});
    wanted.append({"Eve", utc(2026, 12, 24, 17), 0});
    wanted.append({"MWF", utc(2026, 12, 25, 8), 0});
    wanted.append({"MWF", utc(2026, 12, 28, 8), 0});
    QCOMPARE(station.fired, wanted);
}

void TestScheduler::masterSwitchHoldsAndDrops()
{
    ManualClock clock(utc(2026, 6, 1, 6));
    Station station(&clock);
    station.scheduler.setSchedules({daily("Doors", QTime(10, 0))}); // 08:00 UTC
    station.scheduler.setLateMinutes(120);
    station.scheduler.start();
    QCOMPARE(station.scheduler.nextTime(), utc(2026, 6, 1, 8));
    QCOMPARE(station.scheduler.nextName(), QStringLiteral("Doors"));
    station.scheduler.setEnabled(false);
    QVERIFY(!station.scheduler.nextTime().isValid());
    clock.advance(qint64(3) * 3600 * 1000);
    const QJsonObject heldState = station.scheduler.state();
    station.scheduler.setEnabled(true);
    QCOMPARE(station.scheduler.nextTime(), utc(2026, 6, 2, 8));
    QVERIFY(station.fired.isEmpty());
    QVERIFY(station.missed.isEmpty());
    clock.advance(qint64(24) * 3600 * 1000);
    QCOMPARE(station.fired, QList<Occurrence>({{"Doors", utc(2026, 6, 2, 8), 0}}));

    // Saved while off, restarted later: what was held stays held.
    ManualClock later(utc(2026, 6, 1, 9, 30));
    Station restarted(&later);
    restarted.scheduler.setSchedules({daily("Doors", QTime(10, 0))});
    restarted.scheduler.setLateMinutes(120);
    QVERIFY(restarted.scheduler.restoreState(heldState));
    restarted.scheduler.start();
    QVERIFY(restarted.fired.isEmpty());
    QVERIFY(restarted.missed.isEmpty());
}

void TestScheduler::lateAtStart_data()
{
    QTest::addColumn<int>("lateMinutes");
    QTest::addColumn<QTime>("time");
    QTest::addColumn<QDateTime>("savedAt");
    QTest::addColumn<QDateTime>("startedAt");
    QTest::addColumn<bool>("restored");
    QTest::addColumn<QList<Occurrence>>("fired");
    QTest::addColumn<QList<Occurrence>>("missed");
    const QTime time(18, 30);
    const QDateTime saved = utc(2026, 6, 1, 15);
    const QDateTime due = utc(2026, 6, 1, 16, 30); // 18:30 in Berlin
    const qint64 minute = qint64(60) * 1000;
    QTest::newRow("3 min late, 5 allowed") << 5 << time << saved << due.addSecs(180) << true
                                           << QList<Occurrence>{{"Doors", due, 3 * minute}} << QList<Occurrence>{};
    QTest::newRow("10 min late, 5 allowed") << 5 << time << saved << due.addSecs(600) << true
                                            << QList<Occurrence>{} << QList<Occurrence>{{"Doors", due}};
    QTest::newRow("3 min late, none allowed") << 0 << time << saved << due.addSecs(180) << true
                                              << QList<Occurrence>{} << QList<Occurrence>{{"Doors", due}};
    QTest::newRow("nothing saved") << 5 << time << saved << due.addSecs(180) << false << QList<Occurrence>{}
                                   << QList<Occurrence>{};
    QTest::newRow("away two days") << 5 << time << saved << due.addDays(2).addSecs(180) << true
                                   << QList<Occurrence>{{"Doors", due.addDays(2), 3 * minute}}
                                   << QList<Occurrence>{{"Doors", due}, {"Doors", due.addDays(1)}};
    // 03:00 comes 23 hours after the day before's on the spring change:
    // both are within a day's window, only the latest fires.
    QTest::newRow("two within the window") << 24 * 60 << QTime(3, 0) << utc(2026, 3, 28, 1)
                                           << utc(2026, 3, 29, 1, 10) << true
                                           << QList<Occurrence>{{"Doors", utc(2026, 3, 29, 1), 10 * minute}}
                                           << QList<Occurrence>{{"Doors", utc(2026, 3, 28, 2)}};
}

void TestScheduler::lateAtStart()
{
    QFETCH(int, lateMinutes);
    QFETCH(QTime, time);
    QFETCH(QDateTime, savedAt);
    QFETCH(QDateTime, startedAt);
    QFETCH(bool, restored);
    QFETCH(QList<Occurrence>, fired);
    QFETCH(QList<Occurrence>, missed);
    const QList<Schedule> schedules{daily("Doors", time)};
    ManualClock clock(savedAt);
    QJsonObject saved;
    {
        Station before(&clock);
        before.scheduler.setSchedules(schedules);
        before.scheduler.start();
        saved = before.scheduler.state();
    }
    clock.setTime(startedAt);
    Station after(&clock);
    after.scheduler.setSchedules(schedules);
    after.scheduler.setLateMinutes(lateMinutes);
    if (restored)
        QVERIFY(after.scheduler.restoreState(saved));
    after.scheduler.start();
    QCOMPARE(after.fired, fired);
    QCOMPARE(after.missed, missed);
}

void TestScheduler::clockSetBackDoesNotFireAgain()
{
    ManualClock clock(utc(2026, 6, 1, 7));
    Station station(&clock);
    station.scheduler.setSchedules({daily("Doors", QTime(10, 0))});
    station.scheduler.setLateMinutes(30);
    station.scheduler.start();
    clock.advance(3600 * 1000 + 60 * 1000);
    QCOMPARE(station.fired.size(), 1);
    clock.setTime(clock.now().addSecs(-3600));
    clock.advance(qint64(2) * 3600 * 1000);
    QCOMPARE(station.fired.size(), 1);
    QCOMPARE(station.scheduler.nextTime(), utc(2026, 6, 2, 8));
    clock.advance(qint64(24) * 3600 * 1000);
    QCOMPARE(station.fired.size(), 2);
    QCOMPARE(station.fired.last().at, utc(2026, 6, 2, 8));
    QVERIFY(station.missed.isEmpty());
}

void TestScheduler::clockSetForwardIsLateOrMissed()
{
    ManualClock clock(utc(2026, 6, 1, 7));
    Station station(&clock);
    station.scheduler.setSchedules({daily("Doors", QTime(10, 0)), daily("Show", QTime(10, 20))});
    station.scheduler.setLateMinutes(5);
    station.scheduler.start();
    clock.setTime(utc(2026, 6, 1, 8, 23));
    QCOMPARE(station.fired, QList<Occurrence>({{"Show", utc(2026, 6, 1, 8, 20), qint64(3) * 60 * 1000}}));
    QCOMPARE(station.missed, QList<Occurrence>({{"Doors", utc(2026, 6, 1, 8)}}));
    // Set right again: what was missed fires at its time, what fired not.
    clock.setTime(utc(2026, 6, 1, 7));
    clock.advance(qint64(2) * 3600 * 1000);
    QCOMPARE(station.fired.size(), 2);
    QCOMPARE(station.fired.last(), Occurrence({"Doors", utc(2026, 6, 1, 8), 0}));
    QCOMPARE(station.missed.size(), 1);
}

void TestScheduler::editsPlanFromNow()
{
    ManualClock clock(utc(2026, 6, 1, 8, 30)); // 10:30 in Berlin
    Station station(&clock);
    station.scheduler.setLateMinutes(120);
    station.scheduler.start();
    QSignalSpy next(&station.scheduler, &Scheduler::nextChanged);
    station.scheduler.setSchedules({daily("Doors", QTime(10, 0))});
    QVERIFY(station.fired.isEmpty());
    QVERIFY(station.missed.isEmpty());
    QCOMPARE(station.scheduler.nextTime(), utc(2026, 6, 2, 8));
    QCOMPARE(next.size(), 1);
    station.scheduler.setTimeZone(QTimeZone::utc());
    QCOMPARE(station.scheduler.nextTime(), utc(2026, 6, 1, 10));
    QCOMPARE(next.size(), 2);
    clock.advance(qint64(2) * 3600 * 1000);
    QCOMPARE(station.fired, QList<Occurrence>({{"Doors", utc(2026, 6, 1, 10), 0}}));
}

void TestScheduler::hostileStateIsRefused()
{
    ManualClock clock(utc(2026, 6, 1, 8));
    Station station(&clock);
    const QString seen = QStringLiteral("2026-06-01T07:00:00.000Z");
    const QJsonObject fired{{"Doors", seen}};
    QVERIFY(!station.scheduler.restoreState({}));
    QVERIFY(!station.scheduler.restoreState({{"seen", 5}, {"fired", fired}}));
    QVERIFY(!station.scheduler.restoreState({{"seen", "yesterday"}, {"fired", fired}}));
    QVERIFY(!station.scheduler.restoreState({{"seen", seen + QString(100, '0')}, {"fired", fired}}));
    QVERIFY(!station.scheduler.restoreState({{"seen", seen}, {"fired", QJsonObject{{"Doors", true}}}}));
    QVERIFY(!station.scheduler.restoreState({{"seen", seen}, {"fired", QJsonObject{{QString(65, 'n'), seen}}}}));
    QVERIFY(station.scheduler.state().isEmpty());
    QVERIFY(station.scheduler.restoreState({{"seen", seen}, {"fired", fired}}));
    QCOMPARE(station.scheduler.state(), QJsonObject({{"seen", seen}, {"fired", fired}}));

    // Seen in year 1: only the last week is looked at.
    QVERIFY(station.scheduler.restoreState({{"seen", "0001-01-01T00:00:00.000Z"}, {"fired", QJsonObject()}}));
    station.scheduler.setSchedules({daily("Doors", QTime(9, 0))});
    station.scheduler.start();
    QCOMPARE(station.missed.size(), Scheduler::LookBackDays);
    QVERIFY(station.fired.isEmpty());
}

QTEST_GUILESS_MAIN(TestScheduler)
#include "tst_scheduler.moc"
