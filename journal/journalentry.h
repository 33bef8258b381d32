#ifndef JOURNALENTRY_H
#define JOURNALENTRY_H

#include <QDateTime>
#include <QMetaType>
#include <QString>
#include <QStringList>

#include <optional>

// One change that reached a processor (or the station): when, who asked
// for it, what it was and how it ended. The keys of the enums are the
// stable English words the file, the remote control and CSV use.
struct JournalEntry
{
    enum class Who { Operator, Remote, Schedule, Sequence, Watchdog, Backup };
    enum class Result { Pending, Confirmed, Failed, GivenUp };

    // Texts longer than this are cut; a kind is a short word.
    static constexpr int MaxText = 256;
    static constexpr int MaxKind = 32;
    static constexpr int MaxProcessor = 8;

    qint64 id = 0;
    QDateTime time; // UTC, milliseconds
    Who who = Who::Operator;
    QString whoDetail; // a client's address and name, a schedule's or sequence's name
    int processor = 0; // 1-based; 0 is the station
    QString processorName;
    QString kind; // "recall", "look", "write", ...
    QString what; // "recall M3"
    Result result = Result::Pending;
    QString detail;

    // The entry as the journal keeps it: texts cut, an unknown processor
    // taken as the station, the time in UTC to the millisecond.
    JournalEntry bounded() const;

    static QString key(Who who);
    static QString key(Result result);
    static std::optional<Who> whoFromKey(const QString &key);
    static std::optional<Result> resultFromKey(const QString &key);
    // The kinds the program records, for filters.
    static QStringList kinds();
};

Q_DECLARE_METATYPE(JournalEntry)

#endif // JOURNALENTRY_H
