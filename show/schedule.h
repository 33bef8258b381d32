#ifndef SCHEDULE_H
#define SCHEDULE_H

#include <QDate>
#include <QString>
#include <QTime>

// A time of day at which the show does one thing by itself, on chosen
// weekdays or on one date, read in the station's time zone (ScheduleTimes
// turns it into instants, Scheduler fires it, ScheduleJson keeps it in the
// file). Processors and presets count from 0 here, from 1 in the file and
// for people (presets are shown as M1 to M16).
struct Schedule
{
    enum class Action { RecallPreset, RecallLook, StartSequence, StopSequence };

    static constexpr int MaxNameLength = 64;
    static constexpr int MaxProcessors = 8;

    QString name;     // unique in a list
    bool enabled = true;
    QTime time;       // whole seconds
    quint8 days = 0;  // dayBit() of each weekday; none with a date
    QDate date;       // the one day, instead of weekdays
    Action action = Action::RecallPreset;
    int processor = 0; // of RecallPreset
    int preset = 0;    // of RecallPreset
    QString target;    // the look or the sequence

    static constexpr quint8 dayBit(int dayOfWeek) { return quint8(1u << (dayOfWeek - 1)); }
    static constexpr quint8 EveryDay = 0x7f;

    bool firesOn(const QDate &localDate) const;
    // "18:30", or "18:30:15" when the seconds count.
    QString timeText() const;
    // For people: "Mon-Fri 18:30: recall M4 on processor 2", or
    // "周一至周五 18:30：处理器 2 调用 M4".
    QString describe(bool english) const;

    bool operator==(const Schedule &other) const;
    bool operator!=(const Schedule &other) const { return !(*this == other); }
};

#endif // SCHEDULE_H
