#include "lookstore.h"

#include "stationlog.h"

#include <devicelimits.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace {

// A whole number within [1, last], or 0.
int numberIn(const QJsonValue &value, int last)
{
    const double number = value.toDouble(0);
    // Checked before the cast: a double beyond int's range has no int.
    if (!value.isDouble() || number < 1 || number > last || number != int(number))
        return 0;
    return int(number);
}

// The look as the file gives it, or the reason it cannot be read.
QString parseLook(const QJsonValue &value, int processors, Look *look)
{
    const QJsonObject object = value.toObject();
    if (!value.isObject() || !object.value(QLatin1String("name")).isString()
        || !object.value(QLatin1String("presets")).isArray())
        return QStringLiteral("a look needs a \"name\" and a list of \"presets\"");
    look->name = object.value(QLatin1String("name")).toString().trimmed();
    const QJsonArray presets = object.value(QLatin1String("presets")).toArray();
    for (const QJsonValue &pair : presets) {
        const int processor = numberIn(pair.toObject().value(QLatin1String("processor")), processors);
        const int preset = numberIn(pair.toObject().value(QLatin1String("preset")), Limits::Presets);
        if (processor == 0 || preset == 0)
            return QStringLiteral("look \"%1\": each preset needs a processor 1 to %2 and a preset 1 to %3")
                .arg(look->name.left(LookStore::MaxNameLength))
                .arg(processors)
                .arg(Limits::Presets);
        look->entries.append({processor - 1, preset - 1});
    }
    return {};
}

} // namespace

LookStore::Loaded LookStore::read(const QString &path, int processors)
{
    Loaded loaded;
    QFile file(path);
    if (!file.exists())
        return loaded;
    if (file.size() > MaxFileBytes || !file.open(QIODevice::ReadOnly)) {
        loaded.errors << QStringLiteral("%1 cannot be read or is larger than %2 bytes").arg(path).arg(MaxFileBytes);
        return loaded;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(file.read(MaxFileBytes), &error);
    const QJsonValue list = document.object().value(QLatin1String("looks"));
    if (error.error != QJsonParseError::NoError || !list.isArray()) {
        loaded.errors << QStringLiteral("%1 is not a file of looks").arg(path);
        return loaded;
    }
    const QJsonArray looks = list.toArray();
    for (const QJsonValue &value : looks) {
        Look look;
        QString reason = parseLook(value, processors, &look);
        if (reason.isEmpty())
            reason = check(look, loaded.looks, processors);
        if (reason.isEmpty())
            loaded.looks.append(look);
        else
            loaded.errors << reason;
    }
    for (const QString &reason : std::as_const(loaded.errors))
        qCWarning(lcStation) << "look refused:" << reason;
    return loaded;
}

QString LookStore::check(const Look &look, const QList<Look> &others, int processors)
{
    const QString name = look.name.left(MaxNameLength);
    if (look.name.isEmpty() || look.name.size() > MaxNameLength)
        return QStringLiteral("a look's name has 1 to %1 characters").arg(MaxNameLength);
    if (others.size() >= MaxLooks)
        return QStringLiteral("look \"%1\": the station keeps %2 looks at most").arg(name).arg(MaxLooks);
    for (const Look &other : others) {
        if (other.name.compare(look.name, Qt::CaseInsensitive) == 0)
            return QStringLiteral("look \"%1\": the name is taken").arg(name);
    }
    if (look.entries.isEmpty())
        return QStringLiteral("look \"%1\": it recalls no preset").arg(name);
    QList<int> seen;
    for (const Look::Entry &entry : look.entries) {
        if (entry.processor < 0 || entry.processor >= processors || entry.preset < 0
            || entry.preset >= Limits::Presets || seen.contains(entry.processor))
            return QStringLiteral("look \"%1\": one preset 1 to %2 for each of processors 1 to %3")
                .arg(name)
                .arg(Limits::Presets)
                .arg(processors);
        seen.append(entry.processor);
    }
    return {};
}

bool LookStore::write(const QString &path, const QList<Look> &looks)
{
    QJsonArray list;
    for (const Look &look : looks) {
        QJsonArray presets;
        for (const Look::Entry &entry : look.entries)
            presets.append(QJsonObject{{QStringLiteral("processor"), entry.processor + 1},
                                       {QStringLiteral("preset"), entry.preset + 1}});
        list.append(QJsonObject{{QStringLiteral("name"), look.name}, {QStringLiteral("presets"), presets}});
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(QJsonDocument(QJsonObject{{QStringLiteral("looks"), list}}).toJson());
    return file.commit();
}
