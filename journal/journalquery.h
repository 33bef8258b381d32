#ifndef JOURNALQUERY_H
#define JOURNALQUERY_H

#include "journalentry.h"

#include <QDateTime>
#include <QString>

#include <optional>

// What to read of the journal; an empty filter takes everything. Entries
// come newest first, at most limit of them.
struct JournalQuery
{
    static constexpr int DefaultLimit = 1000;
    static constexpr int MaxLimit = 10000;

    int processor = 0; // 0: any
    std::optional<JournalEntry::Who> who;
    QString whoText; // contained in the who detail, any case
    QDateTime from; // inclusive; invalid: no bound
    QDateTime to; // inclusive; invalid: no bound
    QString kind;
    int limit = DefaultLimit; // out of 1 .. MaxLimit: the default

    int boundedLimit() const { return limit >= 1 && limit <= MaxLimit ? limit : DefaultLimit; }
};

#endif // JOURNALQUERY_H
