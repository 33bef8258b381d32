#include "journalwriter.h"
#include "journaldatabase.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QThread>
#include <QVariant>

#include <utility>

namespace {

constexpr qint64 DayMs = qint64(24) * 60 * 60 * 1000;

// An empty text is stored as one, not as NULL.
QString text(const QString &value)
{
    return value.isNull() ? QLatin1String("") : value;
}

} // namespace

JournalWriter::JournalWriter()
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(RetryMs);
    connect(&m_retry, &QTimer::timeout, this, &JournalWriter::commit);
}

JournalWriter::~JournalWriter() = default;

bool JournalWriter::open(const QString &path, int retentionDays)
{
    m_db = std::make_unique<JournalDatabase>(QStringLiteral("write"));
    if (!m_db->open(path, false))
        return false;
    prune(retentionDays);
    return true;
}

void JournalWriter::write(const JournalBatch &batch)
{
    m_waiting.entries << batch.entries;
    m_waiting.settles << batch.settles;
    if (!m_retry.isActive())
        commit();
}

void JournalWriter::prune(int retentionDays)
{
    QSqlQuery remove(m_db->database());
    remove.prepare(QStringLiteral("DELETE FROM entries WHERE time < ?"));
    remove.addBindValue(QDateTime::currentMSecsSinceEpoch() - retentionDays * DayMs);
    if (!m_db->exec(remove))
        emit failed(m_db->lastError());
}

void JournalWriter::close(QThread *thread)
{
    m_retry.stop();
    m_db.reset();
    moveToThread(thread);
}

bool JournalWriter::commit()
{
    if (m_waiting.isEmpty())
        return true;
    QSqlDatabase db = m_db->database();
    if (!db.transaction())
        return fail();
    QSqlQuery insertion(db);
    insertion.prepare(QStringLiteral("INSERT INTO entries (%1) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)")
                          .arg(QLatin1String(JournalDatabase::Columns)));
    for (const JournalEntry &entry : std::as_const(m_waiting.entries)) {
        if (!insert(insertion, entry))
            return fail();
    }
    // A result settles an entry once; a late second word does not change it.
    QSqlQuery update(db);
    update.prepare(QStringLiteral("UPDATE entries SET result = ?, detail = ? WHERE id = ? AND result = ?"));
    for (const JournalBatch::Settle &settle : std::as_const(m_waiting.settles)) {
        update.addBindValue(JournalEntry::key(settle.result));
        update.addBindValue(text(settle.detail));
        update.addBindValue(m_moved.value(settle.id, settle.id));
        update.addBindValue(JournalEntry::key(JournalEntry::Result::Pending));
        if (!m_db->exec(update))
            return fail();
    }
    if (!db.commit())
        return fail();
    const int count = m_waiting.size();
    m_waiting = {};
    emit written(count);
    return true;
}

bool JournalWriter::insert(QSqlQuery &query, const JournalEntry &entry)
{
    const auto bind = [&](const QVariant &id) {
        query.addBindValue(id);
        query.addBindValue(entry.time.toMSecsSinceEpoch());
        query.addBindValue(JournalEntry::key(entry.who));
        query.addBindValue(text(entry.whoDetail));
        query.addBindValue(entry.processor);
        query.addBindValue(text(entry.processorName));
        query.addBindValue(text(entry.kind));
        query.addBindValue(text(entry.what));
        query.addBindValue(JournalEntry::key(entry.result));
        query.addBindValue(text(entry.detail));
        return m_db->exec(query);
    };
    if (bind(entry.id))
        return true;
    // Another process wrote the same file and took this id: the entry
    // gets the next free one, and its result follows it there.
    QSqlQuery taken(m_db->database());
    taken.prepare(QStringLiteral("SELECT 1 FROM entries WHERE id = ?"));
    taken.addBindValue(entry.id);
    if (!m_db->exec(taken) || !taken.next() || !bind(QVariant()))
        return false;
    m_moved.insert(entry.id, query.lastInsertId().toLongLong());
    return true;
}

bool JournalWriter::fail()
{
    m_db->database().rollback();
    emit failed(m_db->lastError());
    m_retry.start();
    return false;
}
