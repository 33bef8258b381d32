#include "showfile.h"

#include "schedulejson.h"
#include "showlog.h"

#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimeZone>

namespace {

const QLatin1String SettingsKey("settings");
const QLatin1String SequencesKey("sequences");
const QLatin1String SchedulesKey("schedules");
const QLatin1String BackupsKey("backups");
const QLatin1String TimeZoneKey("timeZone");
const QLatin1String LateKey("lateMinutes");
const QLatin1String PausesKey("handRecallPauses");
const QLatin1String SwitchKey("schedulesOn");

QString fault(const QString &key, const QString &why)
{
    return key + QStringLiteral(": ") + why;
}

// Each part read alone: a refused part leaves the others.
void readParts(const QJsonObject &file, ShowFile::Loaded *loaded)
{
    QString error;
    ShowFile::Show &show = loaded->show;
    if (file.contains(SettingsKey)) {
        if (const auto settings = ShowFile::settingsFromJson(file.value(SettingsKey), &error))
            show.settings = *settings;
        else
            loaded->errors << fault(SettingsKey, error);
    }
    if (file.contains(SequencesKey)) {
        const QJsonValue value = file.value(SequencesKey);
        const auto sequences = value.isArray() ? Sequence::listFromJson(value.toArray(), &error) : std::nullopt;
        if (sequences)
            show.sequences = *sequences;
        else
            loaded->errors << fault(SequencesKey, value.isArray() ? error : QStringLiteral("a list"));
    }
    if (file.contains(SchedulesKey)) {
        error.clear();
        const QList<Schedule> schedules = ScheduleJson::listFromJson(file.value(SchedulesKey), &error);
        if (error.isEmpty())
            show.schedules = schedules;
        else
            loaded->errors << fault(SchedulesKey, error);
    }
    if (file.contains(BackupsKey)) {
        const QJsonValue value = file.value(BackupsKey);
        const auto backups = value.isArray()
            ? BackupTable::listFromJson(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact), &error)
            : std::nullopt;
        if (backups)
            show.backups = *backups;
        else
            loaded->errors << fault(BackupsKey, value.isArray() ? error : QStringLiteral("a list"));
    }
}

} // namespace

bool ShowFile::Settings::operator==(const Settings &other) const
{
    return timeZone == other.timeZone && lateMinutes == other.lateMinutes
        && handRecallPauses == other.handRecallPauses && schedulesOn == other.schedulesOn;
}

ShowFile::Loaded ShowFile::read(const QString &path)
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
    if (error.error != QJsonParseError::NoError || !document.isObject()) {
        loaded.errors << QStringLiteral("%1 is not a show file: %2").arg(path, error.errorString());
        return loaded;
    }
    readParts(document.object(), &loaded);
    for (const QString &reason : std::as_const(loaded.errors))
        qCWarning(lcShow) << "show file:" << reason;
    return loaded;
}

bool ShowFile::write(const QString &path, const Show &show, bool refusedBefore)
{
    if (refusedBefore && QFile::exists(path)) {
        const QString aside =
            path + QStringLiteral(".refused-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss"));
        if (!QFile::copy(path, aside))
            return false;
    }
    const QJsonObject file{
        {SettingsKey, settingsToJson(show.settings)},
        {SequencesKey, Sequence::listToJson(show.sequences)},
        {SchedulesKey, ScheduleJson::listToJson(show.schedules)},
        {BackupsKey, QJsonDocument::fromJson(BackupTable::listToJson(show.backups)).array()},
    };
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return false;
    out.write(QJsonDocument(file).toJson());
    return out.commit();
}

QJsonObject ShowFile::settingsToJson(const Settings &settings)
{
    return {{TimeZoneKey, QString::fromLatin1(settings.timeZone)},
            {LateKey, settings.lateMinutes},
            {PausesKey, settings.handRecallPauses},
            {SwitchKey, settings.schedulesOn}};
}

std::optional<ShowFile::Settings> ShowFile::settingsFromJson(const QJsonValue &value, QString *error)
{
    const QJsonObject object = value.toObject();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.key() != TimeZoneKey && it.key() != LateKey && it.key() != PausesKey && it.key() != SwitchKey) {
            *error = fault(it.key(), QStringLiteral("unknown"));
            return std::nullopt;
        }
    }
    if (!value.isObject()) {
        *error = QStringLiteral("an object");
        return std::nullopt;
    }
    Settings settings;
    const QJsonValue zone = object.value(TimeZoneKey);
    if (!zone.isUndefined()) {
        const QByteArray id = zone.toString().toLatin1();
        if (!zone.isString() || (!id.isEmpty() && !QTimeZone::isTimeZoneIdAvailable(id))) {
            *error = fault(TimeZoneKey, QStringLiteral("a time zone this system knows, as \"Europe/Berlin\""));
            return std::nullopt;
        }
        settings.timeZone = id;
    }
    const QJsonValue late = object.value(LateKey);
    if (!late.isUndefined()) {
        const double minutes = late.toDouble(-1);
        if (!late.isDouble() || minutes != int(minutes) || minutes < 0 || minutes > MaxLateMinutes) {
            *error = fault(LateKey, QStringLiteral("0 to %1 whole minutes").arg(MaxLateMinutes));
            return std::nullopt;
        }
        settings.lateMinutes = int(minutes);
    }
    for (const auto &[key, flag] : {std::pair{PausesKey, &settings.handRecallPauses},
                                    std::pair{SwitchKey, &settings.schedulesOn}}) {
        const QJsonValue on = object.value(key);
        if (on.isUndefined())
            continue;
        if (!on.isBool()) {
            *error = fault(key, QStringLiteral("true or false"));
            return std::nullopt;
        }
        *flag = on.toBool();
    }
    return settings;
}
