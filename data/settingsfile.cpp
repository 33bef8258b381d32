#include "settingsfile.h"

#include "appdirectory.h"
#include "datalog.h"

#include <devicelimits.h>

#include <QSettings>

namespace {

// A file with fewer keys than this was not written by us.
constexpr int MinimumKeys = 5;

const QString LanguageKey = QStringLiteral("language");
const QString CheckSumKey = QStringLiteral("checkSum");
// In a group of its own: the keys above, counted to tell our file from
// another, never see it.
const QString ReconnectKey = QStringLiteral("link/reconnect");
const QString ChangedKey = QStringLiteral("presets/changedHere");
const QString DifferingKey = QStringLiteral("presets/differsOnDevice");
constexpr int Presets = Limits::Presets;

} // namespace

QString SettingsFile::path()
{
    return AppDirectory::filePath(FileName);
}

QStringList SettingsFile::defaultLinkSettings()
{
    return {QStringLiteral("1"),           QStringLiteral("192.168.1.8"), QStringLiteral("7"),
            QStringLiteral("255.255.255.0"), QStringLiteral("192.168.1.1"), QStringLiteral("16-21-2C"),
            QStringLiteral("COM1")};
}

QByteArray SettingsFile::defaultCheckSum()
{
    return QByteArray(8, '\0');
}

SettingsFile::Contents SettingsFile::read(const QString &path)
{
    const QSettings settings(path, QSettings::IniFormat);
    Contents contents;
    contents.linkSettings = defaultLinkSettings();
    contents.reconnect = settings.value(ReconnectKey, true).toBool();
    // The groups of others, such as [Remote], are not counted.
    if (settings.childKeys().size() < MinimumKeys) {
        contents.checkSum = defaultCheckSum();
        return contents;
    }

    // By name, not by place: an extra key such as "10" would sort between
    // "1" and "2" and shift every setting after it.
    for (int i = 0; i < LinkSettingCount; ++i) {
        const QString key = QString::number(i);
        contents.linkSettings[i] = settings.value(key, contents.linkSettings[i]).toString();
    }
    contents.language = settings.value(LanguageKey, 0).toInt() != 0 ? 1 : 0;
    contents.checkSum = settings.value(CheckSumKey).toByteArray();
    contents.defaults = false;
    return contents;
}

bool SettingsFile::write(const QString &path, const Contents &contents)
{
    if (!AppDirectory::mayWrite(path))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    const QStringList keys = settings.childKeys();
    for (const QString &key : keys)
        settings.remove(key);
    for (int i = 0; i < contents.linkSettings.size(); ++i)
        settings.setValue(QString::number(i), contents.linkSettings[i]);
    settings.setValue(LanguageKey, contents.language);
    settings.setValue(CheckSumKey, contents.checkSum);
    settings.setValue(ReconnectKey, contents.reconnect);
    qCDebug(lcData) << "write check sun = " << contents.checkSum.toHex();
    return synced(settings);
}

QList<int> SettingsFile::changedPresets(const QString &path)
{
    return presetsAt(path, ChangedKey);
}

QList<int> SettingsFile::differingPresets(const QString &path)
{
    return presetsAt(path, DifferingKey);
}

QList<int> SettingsFile::presetsAt(const QString &path, const QString &key)
{
    const QSettings settings(path, QSettings::IniFormat);
    QList<int> presets;
    for (const QString &number : settings.value(key).toStringList()) {
        bool ok = false;
        const int n = number.toInt(&ok);
        if (ok && n >= 1 && n <= Presets && !presets.contains(n - 1))
            presets << n - 1;
    }
    return presets;
}

bool SettingsFile::writePresetMarks(const QString &path, const QList<int> &changed, const QList<int> &differing)
{
    if (!AppDirectory::mayWrite(path))
        return false;
    QSettings settings(path, QSettings::IniFormat);
    setPresets(settings, ChangedKey, changed);
    setPresets(settings, DifferingKey, differing);
    return synced(settings);
}

void SettingsFile::setPresets(QSettings &settings, const QString &key, const QList<int> &presets)
{
    QStringList numbers;
    for (int preset : presets)
        numbers << QString::number(preset + 1);
    if (numbers.isEmpty())
        settings.remove(key);
    else
        settings.setValue(key, numbers);
}

bool SettingsFile::synced(QSettings &settings)
{
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        qCWarning(lcData) << "cannot write" << settings.fileName();
        return false;
    }
    return true;
}
