#ifndef SHOWFILE_H
#define SHOWFILE_H

#include "backuptable.h"
#include "schedule.h"
#include "sequence.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

// What the show does by itself, in one file beside the station's data,
// "MyShow.json", so that a rack machine can be set up by hand:
//
//   {"settings": {"timeZone": "Europe/Berlin", "lateMinutes": 0,
//                 "handRecallPauses": true, "schedulesOn": true},
//    "sequences": [ ...as Sequence... ],
//    "schedules": [ ...as ScheduleJson... ],
//    "backups": [ ...as BackupTable... ]}
//
// Every part may be left out. The file is anyone's: each part is read
// strictly, and a part that breaks a rule is refused whole with the reason
// while the others are kept. A refused file is never overwritten: the
// first write after it keeps it aside as "MyShow.json.refused-<time>".
class ShowFile
{
public:
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr int MaxLateMinutes = 24 * 60;

    struct Settings
    {
        QByteArray timeZone; // IANA id; empty: the system's
        int lateMinutes = 0; // a trigger missed while not running fires at start if at most this late
        bool handRecallPauses = true; // a recall by hand pauses the sequences of its processor
        bool schedulesOn = true;      // the master switch

        bool operator==(const Settings &other) const;
    };

    struct Show
    {
        Settings settings;
        QList<Sequence> sequences;
        QList<Schedule> schedules;
        QList<BackupTable::Entry> backups;
    };

    struct Loaded
    {
        Show show;
        QStringList errors; // one line for each part refused
    };

    static QString fileName() { return QStringLiteral("MyShow.json"); }
    // A missing file is an empty show without errors.
    static Loaded read(const QString &path);
    // refusedBefore: the file read had errors, so it is kept aside first.
    static bool write(const QString &path, const Show &show, bool refusedBefore);

    static QJsonObject settingsToJson(const Settings &settings);
    static std::optional<Settings> settingsFromJson(const QJsonValue &value, QString *error);
};

#endif // SHOWFILE_H
