#include "schedulejson.h"

#include <devicelimits.h>

#include <QRegularExpression>
#include <QSet>

#include <algorithm>

namespace {

const char *const DayKeys[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};

// A name of 1 to MaxNameLength characters, none of them a control one,
// without the spaces around it (as looks are named); null if none.
QString nameOf(const QJsonValue &value)
{
    QString text = value.toString().trimmed();
    if (!value.isString() || text.isEmpty() || text.size() > Schedule::MaxNameLength
        || std::any_of(text.cbegin(), text.cend(), [](QChar c) { return c.category() == QChar::Other_Control; }))
        return {};
    return text;
}

// A whole number within [first, last].
bool numberIn(const QJsonValue &value, int first, int last, int *number)
{
    const double real = value.toDouble();
    // Checked before the cast: a double beyond int's range has no int.
    if (!value.isDouble() || real < first || real > last || real != int(real))
        return false;
    *number = int(real);
    return true;
}

// Why the object has a key outside the known ones, or nothing.
QString unknownKey(const QJsonObject &object, const QStringList &known)
{
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (!known.contains(it.key()))
            return QStringLiteral("unknown field \"%1\"").arg(it.key().left(Schedule::MaxNameLength));
    }
    return {};
}

QString parseTime(const QJsonValue &value, Schedule *schedule)
{
    static const QRegularExpression form(QStringLiteral("^\\d\\d:\\d\\d(:\\d\\d)?$"));
    const QString text = value.toString();
    const bool seconds = text.size() == 8;
    schedule->time = QTime::fromString(text, seconds ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
    if (!value.isString() || !form.match(text).hasMatch() || !schedule->time.isValid())
        return QStringLiteral("\"time\" is \"HH:mm\" or \"HH:mm:ss\", 00:00 to 23:59:59");
    return {};
}

QString parseDays(const QJsonValue &value, Schedule *schedule)
{
    QString reason = QStringLiteral("\"days\" is a list of mon, tue, wed, thu, fri, sat, sun, each once");
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.isEmpty() || list.size() > 7)
        return reason;
    for (const QJsonValue &day : list) {
        const auto known = std::find_if(std::begin(DayKeys), std::end(DayKeys), [&](const char *key) {
            return day.toString().compare(QLatin1String(key), Qt::CaseInsensitive) == 0;
        });
        const quint8 bit = known == std::end(DayKeys) ? 0 : Schedule::dayBit(int(known - std::begin(DayKeys)) + 1);
        if (!day.isString() || bit == 0 || (schedule->days & bit))
            return reason;
        schedule->days |= bit;
    }
    return {};
}

QString parseDate(const QJsonValue &value, Schedule *schedule)
{
    static const QRegularExpression form(QStringLiteral("^\\d{4}-\\d\\d-\\d\\d$"));
    schedule->date = QDate::fromString(value.toString(), Qt::ISODate);
    if (!value.isString() || !form.match(value.toString()).hasMatch() || !schedule->date.isValid())
        return QStringLiteral("\"date\" is a day \"yyyy-MM-dd\"");
    return {};
}

QString parseRecall(const QJsonValue &value, Schedule *schedule)
{
    const QJsonObject recall = value.toObject();
    if (!value.isObject() || !unknownKey(recall, {QStringLiteral("processor"), QStringLiteral("preset")}).isEmpty()
        || !numberIn(recall.value(QLatin1String("processor")), 1, Schedule::MaxProcessors, &schedule->processor)
        || !numberIn(recall.value(QLatin1String("preset")), 1, Limits::Presets, &schedule->preset))
        return QStringLiteral("\"recall\" is {\"processor\": 1 to %1, \"preset\": 1 to %2}")
            .arg(Schedule::MaxProcessors)
            .arg(Limits::Presets);
    --schedule->processor;
    --schedule->preset;
    return {};
}

QString parseAction(const QJsonValue &value, Schedule *schedule)
{
    static const QStringList keys = {QStringLiteral("recall"), QStringLiteral("look"), QStringLiteral("start"),
                                     QStringLiteral("stop")};
    const QJsonObject action = value.toObject();
    const int kind = action.size() == 1 ? int(keys.indexOf(action.begin().key())) : -1;
    if (!value.isObject() || kind < 0)
        return QStringLiteral("\"action\" is one of {\"recall\": ...}, {\"look\": name}, {\"start\": name}, {\"stop\": name}");
    schedule->action = Schedule::Action(kind);
    if (schedule->action == Schedule::Action::RecallPreset)
        return parseRecall(action.begin().value(), schedule);
    schedule->target = nameOf(action.begin().value());
    if (schedule->target.isNull())
        return QStringLiteral("\"%1\" is a name of 1 to %2 characters").arg(keys.at(kind)).arg(Schedule::MaxNameLength);
    return {};
}

QString parse(const QJsonObject &object, Schedule *schedule)
{
    QString reason = unknownKey(object, {QStringLiteral("name"), QStringLiteral("enabled"), QStringLiteral("time"),
                                         QStringLiteral("days"), QStringLiteral("date"), QStringLiteral("action")});
    if (!reason.isEmpty())
        return reason;
    schedule->name = nameOf(object.value(QLatin1String("name")));
    if (schedule->name.isNull())
        return QStringLiteral("\"name\" is text of 1 to %1 characters").arg(Schedule::MaxNameLength);
    const QJsonValue enabled = object.value(QLatin1String("enabled"));
    if (!enabled.isUndefined() && !enabled.isBool())
        return QStringLiteral("\"enabled\" is true or false");
    schedule->enabled = enabled.toBool(true);
    const bool days = object.contains(QLatin1String("days"));
    if (days == object.contains(QLatin1String("date")))
        return QStringLiteral("a schedule has either \"days\" or a \"date\"");
    reason = parseTime(object.value(QLatin1String("time")), schedule);
    if (reason.isEmpty())
        reason = days ? parseDays(object.value(QLatin1String("days")), schedule)
                      : parseDate(object.value(QLatin1String("date")), schedule);
    return reason.isEmpty() ? parseAction(object.value(QLatin1String("action")), schedule) : reason;
}

QJsonValue actionToJson(const Schedule &schedule)
{
    switch (schedule.action) {
    case Schedule::Action::RecallPreset:
        return QJsonObject{{QStringLiteral("recall"), QJsonObject{{QStringLiteral("processor"), schedule.processor + 1},
                                                                  {QStringLiteral("preset"), schedule.preset + 1}}}};
    case Schedule::Action::RecallLook:
        return QJsonObject{{QStringLiteral("look"), schedule.target}};
    case Schedule::Action::StartSequence:
        return QJsonObject{{QStringLiteral("start"), schedule.target}};
    case Schedule::Action::StopSequence:
        return QJsonObject{{QStringLiteral("stop"), schedule.target}};
    }
    return {};
}

} // namespace

bool ScheduleJson::fromJson(const QJsonValue &value, Schedule *schedule, QString *error)
{
    *schedule = Schedule();
    *error = value.isObject() ? parse(value.toObject(), schedule) : QStringLiteral("a schedule is an object");
    return error->isEmpty();
}

QJsonObject ScheduleJson::toJson(const Schedule &schedule)
{
    QJsonObject object{{QStringLiteral("name"), schedule.name},
                       {QStringLiteral("enabled"), schedule.enabled},
                       {QStringLiteral("time"), schedule.timeText()},
                       {QStringLiteral("action"), actionToJson(schedule)}};
    if (schedule.date.isValid()) {
        object.insert(QStringLiteral("date"), schedule.date.toString(Qt::ISODate));
        return object;
    }
    QJsonArray days;
    for (int day = Qt::Monday; day <= Qt::Sunday; ++day) {
        if (schedule.days & Schedule::dayBit(day))
            days.append(QLatin1String(DayKeys[day - 1]));
    }
    object.insert(QStringLiteral("days"), days);
    return object;
}

QList<Schedule> ScheduleJson::listFromJson(const QJsonValue &value, QString *error)
{
    const QJsonArray list = value.toArray();
    if (!value.isArray() || list.size() > MaxSchedules) {
        *error = QStringLiteral("schedules are a list of at most %1").arg(MaxSchedules);
        return {};
    }
    QList<Schedule> schedules;
    QSet<QString> names;
    for (int i = 0; i < list.size(); ++i) {
        Schedule schedule;
        if (!fromJson(list.at(i), &schedule, error)) {
            *error = QStringLiteral("schedule %1: %2").arg(i + 1).arg(*error);
            return {};
        }
        if (names.contains(schedule.name.toCaseFolded())) {
            *error = QStringLiteral("schedule %1: the name \"%2\" is taken").arg(i + 1).arg(schedule.name);
            return {};
        }
        names.insert(schedule.name.toCaseFolded());
        schedules.append(schedule);
    }
    error->clear();
    return schedules;
}

QJsonArray ScheduleJson::listToJson(const QList<Schedule> &schedules)
{
    QJsonArray list;
    for (const Schedule &schedule : schedules)
        list.append(toJson(schedule));
    return list;
}
