#include "journaldatabase.h"
#include "journallog.h"

#include <QAtomicInt>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

namespace {

QAtomicInt connections;

// A writer of another process holds the file for a moment; wait for it.
constexpr int BusyTimeoutMs = 5000;

const char *const Schema[] = {
    "CREATE TABLE entries (id INTEGER PRIMARY KEY, time INTEGER NOT NULL, who TEXT NOT NULL, "
    "who_detail TEXT NOT NULL, processor INTEGER NOT NULL, processor_name TEXT NOT NULL, kind TEXT NOT NULL, "
    "what TEXT NOT NULL, result TEXT NOT NULL, detail TEXT NOT NULL)",
    "CREATE INDEX entries_time ON entries (time)",
    "CREATE INDEX entries_processor ON entries (processor, time)",
    "CREATE INDEX entries_who ON entries (who, time)",
};

} // namespace

const char *const JournalDatabase::Columns =
    "id, time, who, who_detail, processor, processor_name, kind, what, result, detail";

JournalDatabase::JournalDatabase(const QString &role)
    : m_name(QStringLiteral("journal-%1-%2").arg(role).arg(connections.fetchAndAddRelaxed(1)))
{
    QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
}

JournalDatabase::~JournalDatabase()
{
    QSqlDatabase::database(m_name, false).close();
    QSqlDatabase::removeDatabase(m_name);
}

QSqlDatabase JournalDatabase::database() const
{
    return QSqlDatabase::database(m_name, false);
}

bool JournalDatabase::open(const QString &path, bool check)
{
    QSqlDatabase db = database();
    db.setDatabaseName(path);
    if (!db.open())
        return fail(QStringLiteral("open"), db.lastError().text());
    if (!exec(QStringLiteral("PRAGMA busy_timeout = %1").arg(BusyTimeoutMs)))
        return false;
    QSqlQuery mode(db);
    // Each commit reaches the write-ahead log before the call returns; a
    // killed process loses nothing committed, a power cut at most the last
    // commits since the log was last synced, never the file's consistency.
    if (!mode.exec(QStringLiteral("PRAGMA journal_mode = WAL")) || !mode.next()
        || mode.value(0).toString().compare(QLatin1String("wal"), Qt::CaseInsensitive) != 0)
        return fail(QStringLiteral("write-ahead log"), mode.lastError().text());
    mode.finish();
    if (!exec(QStringLiteral("PRAGMA synchronous = NORMAL")))
        return false;
    return (!check || checkFile()) && makeSchema();
}

bool JournalDatabase::checkFile()
{
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("PRAGMA quick_check")) || !query.next())
        return fail(QStringLiteral("check"), query.lastError().text());
    const QString verdict = query.value(0).toString();
    query.finish();
    return verdict == QLatin1String("ok") || fail(QStringLiteral("check"), verdict);
}

bool JournalDatabase::makeSchema()
{
    QSqlQuery version(database());
    if (!version.exec(QStringLiteral("PRAGMA user_version")) || !version.next())
        return fail(QStringLiteral("schema"), version.lastError().text());
    const int found = version.value(0).toInt();
    version.finish();
    if (found == SchemaVersion)
        return true;
    if (found != 0)
        return fail(QStringLiteral("schema"), QStringLiteral("version %1, not %2").arg(found).arg(SchemaVersion));
    QSqlDatabase db = database();
    if (!db.transaction())
        return fail(QStringLiteral("schema"), db.lastError().text());
    for (const char *statement : Schema) {
        if (!exec(QString::fromLatin1(statement))) {
            db.rollback();
            return false;
        }
    }
    if (!exec(QStringLiteral("PRAGMA user_version = %1").arg(SchemaVersion)) || !db.commit()) {
        db.rollback();
        return fail(QStringLiteral("schema"), db.lastError().text());
    }
    return true;
}

bool JournalDatabase::exec(QSqlQuery &query)
{
    return query.exec() || fail(query.lastQuery(), query.lastError().text());
}

bool JournalDatabase::exec(const QString &sql)
{
    QSqlQuery query(database());
    return query.exec(sql) || fail(sql, query.lastError().text());
}

bool JournalDatabase::fail(const QString &what, const QString &error)
{
    m_error = QStringLiteral("%1: %2").arg(what, error);
    qCWarning(lcJournal) << "journal" << database().databaseName() << m_error;
    return false;
}
