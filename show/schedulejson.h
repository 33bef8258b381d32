#ifndef SCHEDULEJSON_H
#define SCHEDULEJSON_H

#include "schedule.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>

// Schedules as the file and the remote control give them:
//
//   {"name": "Doors", "enabled": true, "time": "18:30",
//    "days": ["mon", "tue", "wed", "thu", "fri"],
//    "action": {"recall": {"processor": 1, "preset": 3}}}
//
// "time" is "HH:mm" or "HH:mm:ss"; "days" (mon ... sun, each once) or
// "date" ("2026-12-24"), not both; "enabled" may be left out (on). The
// action is one of {"recall": {"processor": 1-8, "preset": 1-16}},
// {"look": name}, {"start": name}, {"stop": name}. The text comes from
// anyone: a field of the wrong type, out of range or unknown refuses the
// schedule with a reason naming it, and one refused schedule refuses the
// list.
class ScheduleJson
{
public:
    static constexpr int MaxSchedules = 256;

    // The schedule, or false with the reason in *error.
    static bool fromJson(const QJsonValue &value, Schedule *schedule, QString *error);
    static QJsonObject toJson(const Schedule &schedule);

    // At most MaxSchedules, names unique regardless of case. Empty with
    // the reason in *error when anything is refused.
    static QList<Schedule> listFromJson(const QJsonValue &value, QString *error);
    static QJsonArray listToJson(const QList<Schedule> &schedules);
};

#endif // SCHEDULEJSON_H
