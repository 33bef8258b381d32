#ifndef STATIONSETTINGS_H
#define STATIONSETTINGS_H

#include <QList>
#include <QString>
#include <QStringList>

// The processors of the station in the settings file "infoCong.ini". The
// first keeps the link keys outside any group, as a one-processor station
// always had them (SettingsFile reads and writes those, with its data tag);
// each other one has a group [processor2] ... [processor8] with the same
// keys: 0 link type (0 TCP, otherwise serial), 1 address, 2 port, 6 serial
// port. Every processor's name is "name" in its group ([processor1] for
// the first). A group whose keys are not a link is left out with a warning.
class StationSettings
{
public:
    static constexpr int MaxProcessors = 8;
    static constexpr int MaxNameLength = 32;

    struct Processor
    {
        QString name;
        QStringList link; // the seven link settings, as SettingsFile's
    };

    // Always the first processor, then those of the groups, in order.
    static QList<Processor> read(const QString &path);
    // Writes the names and the groups of processors 2 on, and removes the
    // groups of processors no longer there; the first one's link keys are
    // SettingsFile's to write.
    static bool write(const QString &path, const QList<Processor> &processors);
    static QString defaultName(int index);
    // The folder of processor index's files, relative to the settings
    // file's: none for the first, "processor2" ... for the others.
    static QString folderOf(int index);
};

#endif // STATIONSETTINGS_H
