#include "scheduletimes.h"

#include <limits>

namespace {

constexpr qint64 DayMs = qint64(24) * 3600 * 1000;

QDateTime utcAt(qint64 ms)
{
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

} // namespace

ScheduleTimes::ScheduleTimes(const QTimeZone &zone)
    : m_zone(zone)
{
}

int ScheduleTimes::offsetAt(qint64 utcMs) const
{
    return m_zone.offsetFromUtc(utcAt(utcMs));
}

// The wall reading as if it were UTC; each offset in effect within a day of
// it gives one candidate instant. One that reads the wanted time is the
// answer (the earliest, in an overlap); in a gap none does, and the
// candidate under the offset before the gap reads the time plus the gap.
QDateTime ScheduleTimes::instantOf(const QDate &date, const QTime &time) const
{
    const qint64 wall = QDateTime(date, time, Qt::UTC).toMSecsSinceEpoch();
    // Kept only where no candidate reads the time or later: two changes
    // within two days.
    qint64 best = wall - offsetAt(wall) * 1000LL;
    qint64 bestReading = std::numeric_limits<qint64>::max();
    for (const qint64 probe : {wall - DayMs, wall, wall + DayMs}) {
        const qint64 candidate = wall - offsetAt(probe) * 1000LL;
        const qint64 reading = candidate + offsetAt(candidate) * 1000LL;
        if (reading >= wall && (reading < bestReading || (reading == bestReading && candidate < best))) {
            best = candidate;
            bestReading = reading;
        }
    }
    return utcAt(best);
}

QDate ScheduleTimes::localDate(const QDateTime &instant) const
{
    const qint64 ms = instant.toMSecsSinceEpoch();
    return utcAt(ms + offsetAt(ms) * 1000LL).date();
}

QDateTime ScheduleTimes::occurrenceOn(const Schedule &schedule, const QDate &date) const
{
    return schedule.firesOn(date) ? instantOf(date, schedule.time) : QDateTime();
}

// The day before the instant's local one is looked at too: a firing moved
// by a gap may land after midnight. A week and two days covers every
// weekday once.
QDateTime ScheduleTimes::nextAfter(const Schedule &schedule, const QDateTime &after) const
{
    if (schedule.date.isValid()) {
        const QDateTime once = occurrenceOn(schedule, schedule.date);
        return once > after ? once : QDateTime();
    }
    const QDate today = localDate(after);
    for (QDate day = today.addDays(-1); day <= today.addDays(8); day = day.addDays(1)) {
        QDateTime at = occurrenceOn(schedule, day);
        if (at.isValid() && at > after)
            return at;
    }
    return {};
}
