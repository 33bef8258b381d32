#ifndef JOURNALREADER_H
#define JOURNALREADER_H

#include "journaldatabase.h"
#include "journalentry.h"
#include "journalquery.h"

#include <QList>

// The journal's connection for reading, in the thread that made it; the
// write-ahead log lets it read beside the writer.
class JournalReader
{
public:
    JournalReader();

    bool open(const QString &path) { return m_db.open(path, true); }
    QString lastError() const { return m_db.lastError(); }

    QList<JournalEntry> read(const JournalQuery &query);
    // The highest id in the file, 0 when it holds none.
    qint64 lastId();

private:
    JournalDatabase m_db;
};

#endif // JOURNALREADER_H
