#ifndef SCHEDULER_H
#define SCHEDULER_H

#include "schedule.h"

#include <QDateTime>
#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QTimeZone>

class ScheduleTimes;
class ShowClock;
class ShowTimer;

// Fires the station's schedules at their times in its time zone (see
// ScheduleTimes for daylight saving), on a ShowClock. fired() says what to
// do; the scheduler does nothing to the processors itself.
//
// Use: setSchedules(), restoreState() with what state() gave last time,
// start(). Every occurrence fires at most once, ever:
// - what falls due while running fires on time, with lateMs the timer's
//   own delay;
// - at start(), and when the clock is set forward, occurrences since the
//   last instant handled fire now if at most lateMinutes() late (the
//   latest of each schedule only), else are reported missed() and dropped;
//   without a saved state nothing in the past fires. Occurrences more than
//   LookBackDays old are neither fired nor reported;
// - when the clock is set back, an occurrence already fired does not fire
//   again (each schedule keeps the last instant it fired); one reported
//   missed fires when its time comes again;
// - with the master switch off nothing fires and nothing is reported;
//   what fell due meanwhile is not fired when it comes on again;
// - a change of schedules, time zone or switch handles what is due first,
//   then plans from now: a schedule added for a time already past today
//   waits for its next day.
//
// The state that outlives the program (the instant handled up to and each
// schedule's last firing) is the application's to keep: save state() at
// every stateChanged() and when quitting.
class Scheduler : public QObject
{
    Q_OBJECT

public:
    static constexpr int LookBackDays = 7;
    static constexpr int MaxLateMinutes = 24 * 60;
    // A firing this much late because the program was busy is on time.
    static constexpr qint64 GraceMs = 5000;

    explicit Scheduler(ShowClock *clock, QObject *parent = nullptr);

    // The station's zone; the system's until set. An invalid one is ignored.
    void setTimeZone(const QTimeZone &zone);
    QTimeZone timeZone() const { return m_zone; }

    // Names unique, as ScheduleJson::listFromJson gives them.
    void setSchedules(const QList<Schedule> &schedules);
    QList<Schedule> schedules() const { return m_schedules; }

    // The master switch, on until switched off.
    void setEnabled(bool on);
    bool isEnabled() const { return m_enabled; }

    // How late a missed occurrence may still fire: 0 (the default) to
    // MaxLateMinutes.
    void setLateMinutes(int minutes);
    int lateMinutes() const { return m_lateMinutes; }

    // {"seen": "2026-03-29T01:30:00.000Z", "fired": {"Doors": "..."}};
    // empty before start() or restoreState().
    QJsonObject state() const;
    // False, and nothing changed, for a state that is not one.
    bool restoreState(const QJsonObject &state);

    void start();
    bool isRunning() const { return m_running; }

    // The next firing of an enabled schedule (UTC) and its schedule's name;
    // invalid and empty when nothing is planned. For people, shown in
    // timeZone().
    QDateTime nextTime() const { return m_nextTime; }
    QString nextName() const { return m_nextName; }

signals:
    void fired(const Schedule &schedule, const QDateTime &occurrence, qint64 lateMs);
    void missed(const Schedule &schedule, const QDateTime &occurrence);
    void nextChanged();
    void stateChanged();

private:
    struct Due;

    void update();
    QDateTime nextUnfired(const ScheduleTimes &times, const Schedule &schedule, const QDateTime &from) const;
    QList<Due> dueBy(const QDateTime &now) const;
    void handle(const QList<Due> &due, const QDateTime &now);
    void plan();

    ShowClock *m_clock;
    ShowTimer *m_timer;
    QTimeZone m_zone;
    QList<Schedule> m_schedules;
    bool m_enabled = true;
    bool m_running = false;
    int m_lateMinutes = 0;
    QDateTime m_seen;
    QHash<QString, QDateTime> m_lastFired;
    QDateTime m_nextTime;
    QString m_nextName;
};

#endif // SCHEDULER_H
