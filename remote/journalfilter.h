#ifndef JOURNALFILTER_H
#define JOURNALFILTER_H

#include <QDateTime>
#include <QString>

#include <optional>

// Which entries of the journal a client asks for: each field left empty
// takes any; newest first, at most limit of them.
struct JournalFilter
{
    static constexpr int Station = -1; // the station's own entries, no processor's
    static constexpr int DefaultLimit = 100;
    static constexpr int MaxLimit = 1000;

    std::optional<int> processor; // from 0, or Station
    QString who;                  // "operator", "remote", "schedule", "sequence", "watchdog", "backup"
    QString by;                   // found within the entry's, whatever the case
    QString kind;
    QDateTime from;               // in UTC; invalid: from the first
    QDateTime to;                 // in UTC; invalid: to the last
    int limit = DefaultLimit;
};

#endif // JOURNALFILTER_H
