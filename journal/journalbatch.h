#ifndef JOURNALBATCH_H
#define JOURNALBATCH_H

#include "journalentry.h"

#include <QList>

// What the journal hands its writer at once: new entries, and the results
// of entries recorded pending (in this batch or before). Written in one
// transaction, the entries first.
struct JournalBatch
{
    struct Settle
    {
        qint64 id;
        JournalEntry::Result result;
        QString detail;
    };

    QList<JournalEntry> entries;
    QList<Settle> settles;

    int size() const { return int(entries.size() + settles.size()); }
    bool isEmpty() const { return size() == 0; }
};

#endif // JOURNALBATCH_H
