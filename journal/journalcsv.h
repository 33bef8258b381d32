#ifndef JOURNALCSV_H
#define JOURNALCSV_H

#include "journalentry.h"

#include <QByteArray>
#include <QList>

class QIODevice;

// Entries as CSV (RFC 4180) for spreadsheet programs: UTF-8 with a byte
// order mark, a header row of the English keys, times in UTC (ISO 8601).
class JournalCsv
{
public:
    static QByteArray toCsv(const QList<JournalEntry> &entries);
    static bool write(const QList<JournalEntry> &entries, QIODevice *device);
    // Whole or not at all: the file is replaced only once written.
    static bool write(const QList<JournalEntry> &entries, const QString &path);

    // A text as one field: quoted where it holds a comma, quote or line
    // break, quotes doubled.
    static QString field(const QString &text);
};

#endif // JOURNALCSV_H
