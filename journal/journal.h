#ifndef JOURNAL_H
#define JOURNAL_H

#include "journalbatch.h"
#include "journalentry.h"
#include "journalquery.h"

#include <QObject>
#include <QThread>
#include <QTimer>

#include <memory>

class JournalReader;
class JournalWriter;

// Who changed what on which processor, and how it ended, kept in an SQLite
// file. record() and settle() return at once: entries gather for up to
// FlushMs (or BatchSize of them) and go to a writer thread of its own, so
// the calling thread never waits for the disk. Queries read the file on a
// connection of the calling thread beside the writer.
//
// What survives: everything handed to the writer and committed; a killed
// process loses at most the last FlushMs of entries, a closed one nothing
// (the destructor flushes). A power cut may lose the last commits since
// the write-ahead log was synced, never the file's consistency.
//
// A damaged or unreadable file is moved aside (<file>.bad-<time>) and a new
// one started. When the disk cannot keep up and MaxBacklog entries wait,
// new ones are refused (record() returns 0) and, once it has caught up,
// an entry of the journal says how many were lost.
class Journal : public QObject
{
    Q_OBJECT

public:
    static constexpr int FlushMs = 200;
    static constexpr int BatchSize = 256;
    static constexpr int MaxBacklog = 10000;
    static constexpr int DefaultRetentionDays = 90;

    explicit Journal(const QString &path, QObject *parent = nullptr);
    ~Journal() override;

    QString path() const { return m_path; }
    // Entries older than this are removed at open and once a day.
    void setRetentionDays(int days);
    bool open();
    bool isOpen() const { return m_writer != nullptr; }
    // The last problem met, also when the journal went on (a file moved
    // aside, a write tried again).
    QString lastError() const { return m_error; }

    // The entry's id, or 0 when it was not kept (the journal is not open,
    // or the disk cannot keep up). The time is now unless given.
    qint64 record(JournalEntry entry);
    // The result of an entry recorded pending; a settled one keeps its
    // first result.
    void settle(qint64 id, JournalEntry::Result result, const QString &detail = {});
    QList<JournalEntry> query(const JournalQuery &query) const;
    // Hands everything over and waits until the writer has it in the file
    // (for closing and tests). False when the file could not be written.
    bool flush();

signals:
    void recorded(const JournalEntry &entry);
    void settled(qint64 id, JournalEntry::Result result, const QString &detail);
    void failed(const QString &error);

private:
    bool openFiles();
    void closeFiles();
    bool moveAside();
    void handOver();
    void written(int count);
    void setError(const QString &error);

    QString m_path;
    int m_retentionDays = DefaultRetentionDays;
    QString m_error;
    std::unique_ptr<JournalReader> m_reader;
    QThread m_thread;
    JournalWriter *m_writer = nullptr; // lives in m_thread
    JournalBatch m_pending;
    QTimer m_flushTimer;
    QTimer m_pruneTimer;
    qint64 m_nextId = 1;
    int m_backlog = 0; // handed over, not yet written
    int m_lost = 0;
};

#endif // JOURNAL_H
