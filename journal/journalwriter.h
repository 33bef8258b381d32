#ifndef JOURNALWRITER_H
#define JOURNALWRITER_H

#include "journalbatch.h"

#include <QHash>
#include <QObject>
#include <QTimer>

#include <memory>

class JournalDatabase;
class QSqlQuery;

// The journal's writer, in a thread of its own with its own connection:
// each batch it is handed goes into the file in one transaction. A batch
// that cannot be written (the disk full, the file held by another
// process) is kept and tried again, with what comes after it.
class JournalWriter : public QObject
{
    Q_OBJECT

public:
    static constexpr int RetryMs = 1000;

    JournalWriter();
    ~JournalWriter() override;

    // All of these run in the writer's thread.
    // Opens the file (made and checked already) and removes what is older
    // than retentionDays.
    bool open(const QString &path, int retentionDays);
    void write(const JournalBatch &batch);
    void prune(int retentionDays);
    // Everything handed over is in the file.
    bool isClean() const { return m_waiting.isEmpty(); }
    // Drops the connection and moves the writer to thread, for its end.
    void close(QThread *thread);

signals:
    // That many entries and results of entries are in the file.
    void written(int count);
    void failed(const QString &error);

private:
    bool commit();
    bool insert(QSqlQuery &query, const JournalEntry &entry);
    bool fail();

    std::unique_ptr<JournalDatabase> m_db;
    JournalBatch m_waiting;
    QTimer m_retry{this};
    // Ids another process had taken, and the ones their entries got.
    QHash<qint64, qint64> m_moved;
};

#endif // JOURNALWRITER_H
