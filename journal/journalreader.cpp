#include "journalreader.h"

#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

// The who text is matched as typed: LIKE's own wildcards are escaped.
QString containing(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
        .replace(QLatin1Char('%'), QLatin1String("\\%"))
        .replace(QLatin1Char('_'), QLatin1String("\\_"));
    return QLatin1Char('%') + escaped + QLatin1Char('%');
}

JournalEntry entryAt(const QSqlQuery &row)
{
    JournalEntry entry;
    entry.id = row.value(0).toLongLong();
    entry.time = QDateTime::fromMSecsSinceEpoch(row.value(1).toLongLong(), Qt::UTC);
    entry.who = JournalEntry::whoFromKey(row.value(2).toString()).value_or(JournalEntry::Who::Operator);
    entry.whoDetail = row.value(3).toString();
    entry.processor = row.value(4).toInt();
    entry.processorName = row.value(5).toString();
    entry.kind = row.value(6).toString();
    entry.what = row.value(7).toString();
    entry.result = JournalEntry::resultFromKey(row.value(8).toString()).value_or(JournalEntry::Result::Failed);
    entry.detail = row.value(9).toString();
    // Another program may have written the file: keep to our bounds.
    return entry.bounded();
}

} // namespace

JournalReader::JournalReader()
    : m_db(QStringLiteral("read"))
{
}

QList<JournalEntry> JournalReader::read(const JournalQuery &query)
{
    QStringList where{QStringLiteral("1")};
    QVariantList values;
    const auto add = [&](const char *condition, const QVariant &value) {
        where << QLatin1String(condition);
        values << value;
    };
    if (query.processor > 0)
        add("processor = ?", query.processor);
    if (query.who)
        add("who = ?", JournalEntry::key(*query.who));
    if (!query.whoText.isEmpty())
        add("who_detail LIKE ? ESCAPE '\\'", containing(query.whoText.left(JournalEntry::MaxText)));
    if (query.from.isValid())
        add("time >= ?", query.from.toMSecsSinceEpoch());
    if (query.to.isValid())
        add("time <= ?", query.to.toMSecsSinceEpoch());
    if (!query.kind.isEmpty())
        add("kind = ?", query.kind);

    QSqlQuery select(m_db.database());
    select.setForwardOnly(true);
    select.prepare(QStringLiteral("SELECT %1 FROM entries WHERE %2 ORDER BY time DESC, id DESC LIMIT %3")
                       .arg(QLatin1String(JournalDatabase::Columns), where.join(QLatin1String(" AND ")))
                       .arg(query.boundedLimit()));
    for (const QVariant &value : values)
        select.addBindValue(value);
    QList<JournalEntry> entries;
    if (!m_db.exec(select))
        return entries;
    while (select.next())
        entries << entryAt(select);
    return entries;
}

qint64 JournalReader::lastId()
{
    QSqlQuery max(m_db.database());
    max.prepare(QStringLiteral("SELECT MAX(id) FROM entries"));
    const qint64 last = m_db.exec(max) && max.next() ? max.value(0).toLongLong() : 0;
    max.finish();
    return last;
}
