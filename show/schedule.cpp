#include "schedule.h"

#include <QStringList>

namespace {

// The text in the language asked for.
QString pick(bool english, const char *en, const char *zh)
{
    return english ? QString::fromLatin1(en) : QString::fromUtf8(zh);
}

QString dayName(int dayOfWeek, bool english)
{
    static const char *const en[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const zh[] = {"周一", "周二", "周三", "周四", "周五", "周六", "周日"};
    return pick(english, en[dayOfWeek - 1], zh[dayOfWeek - 1]);
}

// Runs of three days or more read as a span ("Mon-Fri"), shorter ones one
// by one.
QString daysText(quint8 days, bool english)
{
    if (days == Schedule::EveryDay)
        return pick(english, "Daily", "每天");
    QStringList parts;
    for (int first = Qt::Monday; first <= Qt::Sunday; ++first) {
        if (!(days & Schedule::dayBit(first)))
            continue;
        int last = first;
        while (last < Qt::Sunday && (days & Schedule::dayBit(last + 1)))
            ++last;
        if (last - first >= 2) {
            parts << dayName(first, english) + pick(english, "-", "至") + dayName(last, english);
        } else {
            for (int day = first; day <= last; ++day)
                parts << dayName(day, english);
        }
        first = last;
    }
    return parts.join(pick(english, ", ", "、"));
}

QString quoted(const QString &name, bool english)
{
    return english ? QLatin1Char('"') + name + QLatin1Char('"')
                   : QString::fromUtf8("“") + name + QString::fromUtf8("”");
}

QString actionText(const Schedule &schedule, bool english)
{
    switch (schedule.action) {
    case Schedule::Action::RecallPreset:
        return english ? QStringLiteral("recall M%1 on processor %2").arg(schedule.preset + 1).arg(schedule.processor + 1)
                       : QString::fromUtf8("处理器 %1 调用 M%2").arg(schedule.processor + 1).arg(schedule.preset + 1);
    case Schedule::Action::RecallLook:
        return pick(english, "recall look ", "调用场景组") + quoted(schedule.target, english);
    case Schedule::Action::StartSequence:
        return pick(english, "start sequence ", "启动序列") + quoted(schedule.target, english);
    case Schedule::Action::StopSequence:
        return pick(english, "stop sequence ", "停止序列") + quoted(schedule.target, english);
    }
    return {};
}

} // namespace

bool Schedule::firesOn(const QDate &localDate) const
{
    if (date.isValid())
        return localDate == date;
    return days & dayBit(localDate.dayOfWeek());
}

QString Schedule::timeText() const
{
    return time.toString(time.second() ? QStringLiteral("HH:mm:ss") : QStringLiteral("HH:mm"));
}

QString Schedule::describe(bool english) const
{
    const QString when = date.isValid() ? date.toString(Qt::ISODate) : daysText(days, english);
    QString text = when + QLatin1Char(' ') + timeText() + pick(english, ": ", "：") + actionText(*this, english);
    if (!enabled)
        text += pick(english, " (off)", "（已停用）");
    return text;
}

bool Schedule::operator==(const Schedule &other) const
{
    return name == other.name && enabled == other.enabled && time == other.time && days == other.days
        && date == other.date && action == other.action && processor == other.processor
        && preset == other.preset && target == other.target;
}
