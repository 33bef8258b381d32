#include "sequence.h"

#include <QJsonValue>

#include <algorithm>

namespace {

const QLatin1String NameKey("name");
const QLatin1String LoopKey("loop");
const QLatin1String OnFailureKey("onFailure");
const QLatin1String StepsKey("steps");
const QLatin1String Stop("stop");
const QLatin1String Skip("skip");

QString stepCountFault()
{
    return QStringLiteral("steps: a list of 1 to %1 steps").arg(Sequence::MaxSteps);
}

QString countFault()
{
    return QStringLiteral("sequences: %1 at most").arg(Sequence::MaxCount);
}

template <typename T>
std::optional<T> refused(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return std::nullopt;
}

// The sequence's fields but its steps, type-checked.
QString readHead(const QJsonObject &object, Sequence *sequence)
{
    const QJsonValue name = object.value(NameKey);
    if (!name.isString())
        return QStringLiteral("name: a text of 1 to %1 characters").arg(Sequence::MaxName);
    sequence->name = name.toString();
    const QJsonValue loop = object.value(LoopKey);
    if (!loop.isUndefined() && !loop.isBool())
        return QStringLiteral("loop: true or false");
    sequence->loop = loop.toBool(false);
    const QJsonValue onFailure = object.value(OnFailureKey);
    if (onFailure.isUndefined() || onFailure == QJsonValue(Stop))
        sequence->onFailure = Sequence::OnFailure::Stop;
    else if (onFailure == QJsonValue(Skip))
        sequence->onFailure = Sequence::OnFailure::Skip;
    else
        return QStringLiteral("onFailure: \"stop\" or \"skip\"");
    return {};
}

} // namespace

bool Sequence::operator==(const Sequence &other) const
{
    return name == other.name && steps == other.steps && loop == other.loop && onFailure == other.onFailure;
}

bool Sequence::isValidName(const QString &name)
{
    const bool printable = std::none_of(name.cbegin(), name.cend(), [](QChar c) { return c.category() == QChar::Other_Control; });
    return printable && !name.trimmed().isEmpty() && name.size() <= MaxName;
}

QString Sequence::check() const
{
    if (!isValidName(name))
        return QStringLiteral("name: 1 to %1 characters, not blank, no control characters").arg(MaxName);
    if (steps.isEmpty() || steps.size() > MaxSteps)
        return stepCountFault();
    for (int i = 0; i < steps.size(); ++i) {
        QString why = steps.at(i).check(QStringLiteral("steps[%1]").arg(i));
        if (!why.isEmpty())
            return why;
    }
    return {};
}

QJsonObject Sequence::toJson() const
{
    QJsonArray list;
    for (const SequenceStep &step : steps)
        list.append(step.toJson());
    return {{NameKey, name},
            {LoopKey, loop},
            {OnFailureKey, onFailure == OnFailure::Skip ? Skip : Stop},
            {StepsKey, list}};
}

std::optional<Sequence> Sequence::fromJson(const QJsonObject &object, QString *error)
{
    Sequence sequence;
    QString why = readHead(object, &sequence);
    if (!why.isEmpty())
        return refused<Sequence>(error, why);
    const QJsonValue steps = object.value(StepsKey);
    // The size is bounded before a step is read.
    if (!steps.isArray() || steps.toArray().isEmpty() || steps.toArray().size() > MaxSteps)
        return refused<Sequence>(error, stepCountFault());
    const QJsonArray list = steps.toArray();
    for (int i = 0; i < list.size(); ++i) {
        const std::optional<SequenceStep> step = SequenceStep::fromJson(list.at(i), QStringLiteral("steps[%1]").arg(i), &why);
        if (!step)
            return refused<Sequence>(error, why);
        sequence.steps.append(*step);
    }
    why = sequence.check();
    if (!why.isEmpty())
        return refused<Sequence>(error, why);
    return sequence;
}

QJsonArray Sequence::listToJson(const QList<Sequence> &sequences)
{
    QJsonArray list;
    for (const Sequence &sequence : sequences)
        list.append(sequence.toJson());
    return list;
}

std::optional<QList<Sequence>> Sequence::listFromJson(const QJsonArray &array, QString *error)
{
    if (array.size() > MaxCount)
        return refused<QList<Sequence>>(error, countFault());
    QList<Sequence> sequences;
    for (int i = 0; i < array.size(); ++i) {
        const QString field = QStringLiteral("sequences[%1]").arg(i);
        if (!array.at(i).isObject())
            return refused<QList<Sequence>>(error, field + QStringLiteral(": an object"));
        QString why;
        const std::optional<Sequence> sequence = fromJson(array.at(i).toObject(), &why);
        if (!sequence)
            return refused<QList<Sequence>>(error, field + QLatin1Char('.') + why);
        sequences.append(*sequence);
    }
    const QString why = checkList(sequences);
    if (!why.isEmpty())
        return refused<QList<Sequence>>(error, why);
    return sequences;
}

QString Sequence::checkList(const QList<Sequence> &sequences)
{
    if (sequences.size() > MaxCount)
        return countFault();
    for (int i = 0; i < sequences.size(); ++i) {
        const QString why = sequences.at(i).check();
        if (!why.isEmpty())
            return QStringLiteral("sequences[%1].%2").arg(i).arg(why);
        for (int j = 0; j < i; ++j) {
            if (sequences.at(j).isNamed(sequences.at(i).name))
                return QStringLiteral("sequences[%1].name: \"%2\" is taken").arg(i).arg(sequences.at(i).name);
        }
    }
    return {};
}
