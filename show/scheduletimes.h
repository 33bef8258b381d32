#ifndef SCHEDULETIMES_H
#define SCHEDULETIMES_H

#include "schedule.h"

#include <QDateTime>
#include <QTimeZone>

// The instants (UTC) at which schedules fire in one time zone. Every day a
// schedule selects fires exactly once, daylight saving included:
// - a time that day skips (spring, 02:30 in Berlin on 2026-03-29) fires
//   at the instant the clock would read it had it not moved: the skipped
//   hour later on the clock face (03:30 CEST, 01:30 UTC), so that a
//   schedule inside the gap keeps its distance to the ones around it;
// - a time that day has twice (autumn, 02:30 on 2026-10-25) fires at the
//   first of the two (02:30 CEST, 00:30 UTC).
// The instants are worked out from the zone's offsets, not left to
// QDateTime, which resolves gaps and overlaps differently in Qt 5 and 6.
class ScheduleTimes
{
public:
    explicit ScheduleTimes(const QTimeZone &zone);

    // The instant the zone's clocks read time on date, as above.
    QDateTime instantOf(const QDate &date, const QTime &time) const;
    // The day the zone's clocks show at the instant.
    QDate localDate(const QDateTime &instant) const;
    // When the schedule fires on the local date; invalid on a day it
    // does not select.
    QDateTime occurrenceOn(const Schedule &schedule, const QDate &date) const;
    // Its first firing strictly after the instant; invalid when there is
    // none (a date gone, no day selected).
    QDateTime nextAfter(const Schedule &schedule, const QDateTime &after) const;

private:
    // Seconds the zone is ahead of UTC at the instant.
    int offsetAt(qint64 utcMs) const;

    QTimeZone m_zone;
};

#endif // SCHEDULETIMES_H
