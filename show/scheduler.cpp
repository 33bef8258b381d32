#include "scheduler.h"

#include "schedulejson.h"
#include "scheduletimes.h"
#include "showclock.h"
#include "showlog.h"

#include <algorithm>

// An occurrence that fell due, and whether it fires or is missed.
struct Scheduler::Due
{
    Schedule schedule;
    QDateTime at;
    bool fires = false;
};

namespace {

constexpr int MaxInstantText = 40;

QString instantText(const QDateTime &instant)
{
    return instant.toUTC().toString(Qt::ISODateWithMs);
}

// An instant as state() writes it, or invalid.
QDateTime instantFrom(const QJsonValue &value)
{
    const QString text = value.toString();
    if (!value.isString() || text.size() > MaxInstantText)
        return {};
    return QDateTime::fromString(text, Qt::ISODateWithMs).toUTC();
}

} // namespace

Scheduler::Scheduler(ShowClock *clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timer(clock->createTimer(this))
    , m_zone(QTimeZone::systemTimeZone())
{
    connect(m_timer, &ShowTimer::timeout, this, &Scheduler::update);
    connect(clock, &ShowClock::jumped, this, &Scheduler::update);
}

// Each change first handles what is due under the old setting.
void Scheduler::setTimeZone(const QTimeZone &zone)
{
    if (!zone.isValid()) {
        qCWarning(lcShow) << "schedules: a time zone that is not one was ignored";
        return;
    }
    update();
    m_zone = zone;
    update();
}

void Scheduler::setSchedules(const QList<Schedule> &schedules)
{
    update();
    m_schedules = schedules;
    // Before start the restored firings wait for their schedules.
    if (m_running) {
        for (auto it = m_lastFired.begin(); it != m_lastFired.end();) {
            const bool kept = std::any_of(schedules.cbegin(), schedules.cend(),
                                          [&](const Schedule &schedule) { return schedule.name == it.key(); });
            it = kept ? std::next(it) : m_lastFired.erase(it);
        }
    }
    update();
}

void Scheduler::setEnabled(bool on)
{
    update();
    m_enabled = on;
    update();
}

void Scheduler::setLateMinutes(int minutes)
{
    m_lateMinutes = std::clamp(minutes, 0, MaxLateMinutes);
}

// While switched off, everything up to now counts as handled.
QJsonObject Scheduler::state() const
{
    if (!m_seen.isValid())
        return {};
    QJsonObject fired;
    for (auto it = m_lastFired.cbegin(); it != m_lastFired.cend(); ++it)
        fired.insert(it.key(), instantText(it.value()));
    const QDateTime seen = m_running && !m_enabled ? m_clock->now() : m_seen;
    return {{QStringLiteral("seen"), instantText(seen)}, {QStringLiteral("fired"), fired}};
}

bool Scheduler::restoreState(const QJsonObject &state)
{
    const QDateTime seen = instantFrom(state.value(QLatin1String("seen")));
    const QJsonValue firedValue = state.value(QLatin1String("fired"));
    const QJsonObject fired = firedValue.toObject();
    bool valid = seen.isValid() && firedValue.isObject() && fired.size() <= ScheduleJson::MaxSchedules;
    QHash<QString, QDateTime> lastFired;
    for (auto it = fired.begin(); valid && it != fired.end(); ++it) {
        const QDateTime at = instantFrom(it.value());
        valid = at.isValid() && it.key().size() <= Schedule::MaxNameLength;
        lastFired.insert(it.key(), at);
    }
    if (!valid) {
        qCWarning(lcShow) << "schedules: the saved state is not one and was ignored";
        return false;
    }
    m_seen = seen;
    m_lastFired = lastFired;
    update();
    return true;
}

void Scheduler::start()
{
    if (m_running)
        return;
    m_running = true;
    if (!m_seen.isValid())
        m_seen = m_clock->now();
    update();
}

// Handles the occurrences since the last call, then plans the next.
void Scheduler::update()
{
    if (!m_running)
        return;
    const QDateTime now = m_clock->now();
    const QList<Due> due = m_enabled ? dueBy(now) : QList<Due>();
    const bool changed = m_seen != now || !due.isEmpty();
    m_seen = now;
    handle(due, now);
    if (changed)
        emit stateChanged();
    plan();
}

// The schedule's first occurrence after from that it has not fired yet.
QDateTime Scheduler::nextUnfired(const ScheduleTimes &times, const Schedule &schedule, const QDateTime &from) const
{
    const QDateTime fired = m_lastFired.value(schedule.name);
    return times.nextAfter(schedule, fired.isValid() ? std::max(from, fired) : from);
}

// Occurrences in (seen, now], in order. Of a schedule only the latest may
// fire, and only within the late window.
QList<Scheduler::Due> Scheduler::dueBy(const QDateTime &now) const
{
    QList<Due> due;
    if (m_seen >= now)
        return due;
    const ScheduleTimes times(m_zone);
    const QDateTime from = std::max(m_seen, now.addDays(-LookBackDays));
    const qint64 windowMs = qint64(m_lateMinutes) * 60 * 1000 + GraceMs;
    for (const Schedule &schedule : m_schedules) {
        if (!schedule.enabled)
            continue;
        QDateTime at = nextUnfired(times, schedule, from);
        while (at.isValid() && at <= now) {
            const QDateTime following = times.nextAfter(schedule, at);
            const bool latest = !following.isValid() || following > now;
            due.append({schedule, at, latest && at.msecsTo(now) <= windowMs});
            at = following;
        }
    }
    std::stable_sort(due.begin(), due.end(), [](const Due &a, const Due &b) { return a.at < b.at; });
    return due;
}

// Recorded before any signal: a receiver that edits the schedules comes
// back through update() and must find them handled.
void Scheduler::handle(const QList<Due> &due, const QDateTime &now)
{
    for (const Due &occurrence : due) {
        if (occurrence.fires)
            m_lastFired.insert(occurrence.schedule.name, occurrence.at);
    }
    for (const Due &occurrence : due) {
        const qint64 lateMs = occurrence.at.msecsTo(now);
        if (occurrence.fires) {
            qCInfo(lcShow) << "schedule" << occurrence.schedule.name << "fired" << lateMs << "ms late";
            emit fired(occurrence.schedule, occurrence.at, lateMs);
        } else {
            qCInfo(lcShow) << "schedule" << occurrence.schedule.name << "missed, due" << occurrence.at;
            emit missed(occurrence.schedule, occurrence.at);
        }
    }
}

void Scheduler::plan()
{
    QDateTime next;
    QString name;
    if (m_running && m_enabled) {
        const ScheduleTimes times(m_zone);
        const QDateTime now = m_clock->now();
        for (const Schedule &schedule : std::as_const(m_schedules)) {
            const QDateTime at = schedule.enabled ? nextUnfired(times, schedule, now) : QDateTime();
            if (at.isValid() && (!next.isValid() || at < next)) {
                next = at;
                name = schedule.name;
            }
        }
    }
    if (next.isValid())
        m_timer->start(next);
    else
        m_timer->stop();
    if (next == m_nextTime && name == m_nextName)
        return;
    m_nextTime = next;
    m_nextName = name;
    emit nextChanged();
}
