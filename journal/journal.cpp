#include "journal.h"
#include "journallog.h"
#include "journalreader.h"
#include "journalwriter.h"

#include <QCoreApplication>
#include <QFile>

#include <algorithm>

namespace {

constexpr int DayMs = 24 * 60 * 60 * 1000;

} // namespace

Journal::Journal(const QString &path, QObject *parent)
    : QObject(parent)
    , m_path(path)
{
    m_thread.setObjectName(QStringLiteral("journal"));
    m_flushTimer.setSingleShot(true);
    m_flushTimer.setInterval(FlushMs);
    connect(&m_flushTimer, &QTimer::timeout, this, &Journal::handOver);
    m_pruneTimer.setInterval(DayMs);
    connect(&m_pruneTimer, &QTimer::timeout, this, [this] {
        QMetaObject::invokeMethod(m_writer, [writer = m_writer, days = m_retentionDays] { writer->prune(days); });
    });
}

Journal::~Journal()
{
    closeFiles();
}

void Journal::setRetentionDays(int days)
{
    m_retentionDays = qMax(1, days);
}

bool Journal::open()
{
    if (isOpen())
        return true;
    if (openFiles())
        return true;
    const QString error = m_error;
    if (!QFile::exists(m_path) || !moveAside() || !openFiles())
        return false;
    setError(QStringLiteral("The journal %1 could not be read (%2); it was moved aside and a new one started.")
                 .arg(m_path, error));
    return true;
}

bool Journal::openFiles()
{
    m_reader = std::make_unique<JournalReader>();
    if (!m_reader->open(m_path)) {
        setError(m_reader->lastError());
        m_reader.reset();
        return false;
    }
    m_nextId = m_reader->lastId() + 1;
    auto *writer = new JournalWriter;
    writer->moveToThread(&m_thread);
    m_thread.start();
    bool opened = false;
    const QString path = m_path;
    const int days = m_retentionDays;
    QMetaObject::invokeMethod(
        writer, [writer, path, days] { return writer->open(path, days); }, Qt::BlockingQueuedConnection,
        &opened);
    m_writer = writer;
    if (!opened) {
        closeFiles();
        setError(QStringLiteral("The journal %1 could not be opened for writing.").arg(m_path));
        return false;
    }
    connect(writer, &JournalWriter::written, this, &Journal::written);
    connect(writer, &JournalWriter::failed, this, &Journal::setError);
    m_pruneTimer.start();
    return true;
}

void Journal::closeFiles()
{
    if (m_writer) {
        if (!flush())
            qCWarning(lcJournal) << "journal: entries not written at close:" << m_error;
        QThread *home = thread();
        QMetaObject::invokeMethod(
            m_writer, [writer = m_writer, home] { writer->close(home); }, Qt::BlockingQueuedConnection);
        m_thread.quit();
        m_thread.wait();
        delete m_writer;
        m_writer = nullptr;
    }
    m_pruneTimer.stop();
    m_reader.reset();
}

bool Journal::moveAside()
{
    const QString aside =
        m_path + QStringLiteral(".bad-") + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    if (!QFile::rename(m_path, aside)) {
        setError(QStringLiteral("The journal %1 could not be read nor moved aside.").arg(m_path));
        return false;
    }
    // The log and index beside it belong to the damaged file.
    for (const char *suffix : {"-wal", "-shm"}) {
        const QString file = m_path + QLatin1String(suffix);
        if (QFile::exists(file))
            QFile::rename(file, aside + QLatin1String(suffix));
    }
    return true;
}

qint64 Journal::record(JournalEntry entry)
{
    if (!isOpen())
        return 0;
    if (m_backlog + m_pending.size() >= MaxBacklog) {
        if (m_lost++ == 0)
            qCWarning(lcJournal) << "journal: the disk does not keep up; entries are lost";
        return 0;
    }
    if (!entry.time.isValid())
        entry.time = QDateTime::currentDateTimeUtc();
    entry = entry.bounded();
    entry.id = m_nextId++;
    m_pending.entries << entry;
    emit recorded(entry);
    if (m_pending.size() >= BatchSize)
        handOver();
    else if (!m_flushTimer.isActive())
        m_flushTimer.start();
    return entry.id;
}

void Journal::settle(qint64 id, JournalEntry::Result result, const QString &detail)
{
    if (!isOpen() || id <= 0 || id >= m_nextId || result == JournalEntry::Result::Pending)
        return;
    const QString bounded = detail.left(JournalEntry::MaxText);
    auto waiting = std::find_if(m_pending.entries.begin(), m_pending.entries.end(),
                                [id](const JournalEntry &entry) { return entry.id == id; });
    if (waiting == m_pending.entries.end()) {
        m_pending.settles << JournalBatch::Settle{id, result, bounded};
    } else if (waiting->result == JournalEntry::Result::Pending) {
        waiting->result = result;
        waiting->detail = bounded;
    }
    emit settled(id, result, bounded);
    if (!m_flushTimer.isActive())
        m_flushTimer.start();
}

QList<JournalEntry> Journal::query(const JournalQuery &query) const
{
    return m_reader ? m_reader->read(query) : QList<JournalEntry>();
}

bool Journal::flush()
{
    handOver();
    bool clean = false;
    if (m_writer) {
        QMetaObject::invokeMethod(
            m_writer, [writer = m_writer] { return writer->isClean(); }, Qt::BlockingQueuedConnection, &clean);
        // The writer's word of what it wrote, so that the backlog is
        // counted down before the caller records more.
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
    }
    return clean;
}

void Journal::handOver()
{
    m_flushTimer.stop();
    if (m_pending.isEmpty() || !m_writer)
        return;
    m_backlog += m_pending.size();
    QMetaObject::invokeMethod(m_writer, [writer = m_writer, batch = std::move(m_pending)] { writer->write(batch); });
    m_pending = {};
}

void Journal::written(int count)
{
    m_backlog -= count;
    if (m_lost == 0 || m_backlog > MaxBacklog / 2)
        return;
    JournalEntry lost;
    lost.who = JournalEntry::Who::Watchdog;
    lost.kind = QStringLiteral("journal");
    lost.what = QStringLiteral("%1 entries not recorded: the disk did not keep up").arg(m_lost);
    lost.result = JournalEntry::Result::Failed;
    m_lost = 0;
    record(lost);
}

void Journal::setError(const QString &error)
{
    m_error = error;
    qCWarning(lcJournal) << "journal:" << error;
    emit failed(error);
}
