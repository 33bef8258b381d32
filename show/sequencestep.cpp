#include "sequencestep.h"

#include <devicelimits.h>

#include <QJsonValue>

#include <algorithm>
#include <cmath>

namespace {

const QLatin1String ProcessorKey("processor");
const QLatin1String PresetKey("preset");
const QLatin1String LookKey("look");
const QLatin1String DwellKey("dwell");

// A whole number of the file, or -1: anything else (a fraction, a text, a
// number beyond int) is out of every range a step has.
int wholeNumber(const QJsonValue &value)
{
    const double number = value.toDouble(-1);
    if (!value.isDouble() || number < 0 || number > 1e6 || number != std::floor(number))
        return -1;
    return int(number);
}

// Seconds to ms, held just beyond the range so that check() names it.
qint64 dwellOf(const QJsonValue &value)
{
    const double seconds = value.toDouble(-1);
    if (!value.isDouble() || !std::isfinite(seconds))
        return -1;
    const double bound = double(SequenceStep::MaxDwellMs + 1000) / 1000;
    return std::llround(std::clamp(seconds, -1.0, bound) * 1000);
}

QString fault(const QString &field, const QString &what)
{
    return field + QLatin1String(": ") + what;
}

} // namespace

SequenceStep SequenceStep::recall(int processor, int preset, qint64 dwellMs)
{
    SequenceStep step;
    step.processor = processor;
    step.preset = preset;
    step.dwellMs = dwellMs;
    return step;
}

SequenceStep SequenceStep::recallLook(const QString &look, qint64 dwellMs)
{
    SequenceStep step;
    step.look = look;
    step.dwellMs = dwellMs;
    return step;
}

bool SequenceStep::operator==(const SequenceStep &other) const
{
    if (isLook() != other.isLook() || dwellMs != other.dwellMs)
        return false;
    return isLook() ? look == other.look : processor == other.processor && preset == other.preset;
}

QString SequenceStep::check(const QString &field) const
{
    if (isLook()) {
        if (look.size() > MaxLookName)
            return fault(field + QLatin1Char('.') + LookKey, QStringLiteral("1 to %1 characters").arg(MaxLookName));
    } else {
        if (processor < 0 || processor >= MaxProcessors)
            return fault(field + QLatin1Char('.') + ProcessorKey, QStringLiteral("1 to %1").arg(MaxProcessors));
        if (preset < 0 || preset >= Limits::Presets)
            return fault(field + QLatin1Char('.') + PresetKey, QStringLiteral("1 to %1").arg(Limits::Presets));
    }
    if (dwellMs < MinDwellMs || dwellMs > MaxDwellMs)
        return fault(field + QLatin1Char('.') + DwellKey,
                     QStringLiteral("%1 to %2 seconds").arg(MinDwellMs / 1000).arg(MaxDwellMs / 1000));
    return {};
}

QJsonObject SequenceStep::toJson() const
{
    QJsonObject object{{DwellKey, double(dwellMs) / 1000}};
    if (isLook()) {
        object.insert(LookKey, look);
    } else {
        object.insert(ProcessorKey, processor + 1);
        object.insert(PresetKey, preset + 1);
    }
    return object;
}

std::optional<SequenceStep> SequenceStep::fromJson(const QJsonValue &value, const QString &field, QString *error)
{
    const QJsonObject object = value.toObject();
    const bool isLook = object.contains(LookKey);
    const bool isPreset = object.contains(ProcessorKey) || object.contains(PresetKey);
    QString why;
    if (!value.isObject())
        why = fault(field, QStringLiteral("an object"));
    else if (isLook && isPreset)
        why = fault(field, QStringLiteral("a preset or a look, not both"));
    else if (!isLook && !isPreset)
        why = fault(field, QStringLiteral("a processor's preset or a look"));
    else if (isLook && (!object.value(LookKey).isString() || object.value(LookKey).toString().isEmpty()))
        why = fault(field + QLatin1Char('.') + LookKey, QStringLiteral("a look's name"));
    if (!why.isEmpty()) {
        if (error)
            *error = why;
        return std::nullopt;
    }
    const qint64 dwell = dwellOf(object.value(DwellKey));
    if (isLook)
        return recallLook(object.value(LookKey).toString(), dwell);
    // Not a whole number reads as -1, out of range for check() to name.
    return recall(wholeNumber(object.value(ProcessorKey)) - 1, wholeNumber(object.value(PresetKey)) - 1, dwell);
}
