#ifndef SETTINGSFILE_H
#define SETTINGSFILE_H

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

// The settings file "infoCong.ini": the seven link settings under the keys
// "0" to "6" (link type, IP address, TCP port, mask, gateway, MAC text,
// serial port name), the interface language and the link's data tag; in
// the group "link", whether a link that drops is tried again; in the group
// "presets", which presets of the data file were changed here and not
// confirmed on the device when it was written, and which a verify found
// otherwise on the device with the difference left standing.
class SettingsFile
{
public:
    struct Contents
    {
        QStringList linkSettings; // always seven entries
        int language = 0;         // 0 Chinese, 1 English
        QByteArray checkSum;
        bool reconnect = true;
        // The file had too few keys to be ours: the link settings are the
        // defaults and the check value is the default one.
        bool defaults = true;
    };

    static constexpr int LinkSettingCount = 7;
    static inline const QString FileName = QStringLiteral("infoCong.ini");

    static QString path(); // in the application directory
    static QStringList defaultLinkSettings();
    static QByteArray defaultCheckSum();

    static Contents read(const QString &path);
    // Leaves exactly the keys "0" to "6", "checkSum" and "language" outside
    // any group, and "link/reconnect"; other groups such as [Remote] stay
    // as they are.
    static bool write(const QString &path, const Contents &contents);

    // Preset numbers 0 to 15 (1 to 16 in the file, as the operator counts
    // them); what is not one is dropped.
    static QList<int> changedPresets(const QString &path);
    static QList<int> differingPresets(const QString &path);
    static bool writePresetMarks(const QString &path, const QList<int> &changed, const QList<int> &differing);

private:
    static QList<int> presetsAt(const QString &path, const QString &key);
    static void setPresets(QSettings &settings, const QString &key, const QList<int> &presets);
    static bool synced(QSettings &settings);
};

#endif // SETTINGSFILE_H
