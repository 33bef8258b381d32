#include "recordedentries.h"

#include <journal.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <functional>

namespace {

constexpr int Recorded = 1000;
const QDateTime Base = QDateTime(QDate(2026, 3, 1), QTime(12, 0), Qt::UTC);

JournalEntry at(qint64 minutes, int processor, JournalEntry::Who who, const QString &detail, const QString &kind)
{
    JournalEntry entry;
    entry.time = Base.addSecs(minutes * 60);
    entry.processor = processor;
    entry.who = who;
    entry.whoDetail = detail;
    entry.kind = kind;
    entry.what = QStringLiteral("%1 at %2").arg(kind).arg(minutes);
    return entry;
}

QStringList whats(const QList<JournalEntry> &entries)
{
    QStringList list;
    for (const JournalEntry &entry : entries)
        list << entry.what;
    return list;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void entriesSurviveTheWriter_data();
    void entriesSurviveTheWriter();
    void queryFiltersNewestFirst();
    void retentionRemovesOldEntries();
    void textsAreBounded();
    void damagedFileIsMovedAside_data();
    void damagedFileIsMovedAside();
    void unwritableFolderIsSaid();
    void fileHeldByAnotherWriterIsWaitedFor();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("journal.db")); }
    // A journal of entries Base + 0 .. count-1 days, closed.
    void writeDays(int count);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestJournal::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestJournal::entriesSurviveTheWriter_data()
{
    QTest::addColumn<QString>("ending");
    QTest::newRow("killed") << QStringLiteral("kill");
    QTest::newRow("closed") << QStringLiteral("close");
}

void TestJournal::entriesSurviveTheWriter()
{
    QFETCH(QString, ending);
    QProcess recorder;
    recorder.start(QStringLiteral(JOURNAL_RECORDER), {path(), ending, QString::number(Recorded)});
    QVERIFY(recorder.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(recorder.canReadLine() || recorder.state() == QProcess::NotRunning, 60000);
    QCOMPARE(recorder.readLine().trimmed(), QByteArray("flushed"));
    if (ending == QLatin1String("kill"))
        recorder.kill();
    // Qt 5 answers false for a process that has ended already.
    QVERIFY(recorder.state() == QProcess::NotRunning || recorder.waitForFinished(30000));
    QCOMPARE(recorder.exitStatus(), ending == QLatin1String("kill") ? QProcess::CrashExit : QProcess::NormalExit);

    Journal journal(path());
    QVERIFY(journal.open());
    JournalQuery all;
    all.limit = JournalQuery::MaxLimit;
    QList<JournalEntry> found = journal.query(all);
    const int expected = ending == QLatin1String("kill") ? Recorded : Recorded + 1;
    QCOMPARE(found.size(), expected);
    std::reverse(found.begin(), found.end());
    for (int i = 0; i < expected; ++i) {
        const JournalEntry made = RecordedEntries::made(i);
        const JournalEntry &entry = found.at(i);
        QCOMPARE(entry.id, qint64(i + 1));
        QCOMPARE(entry.what, made.what);
        QCOMPARE(entry.processor, made.processor);
        QCOMPARE(entry.who, made.who);
        QCOMPARE(entry.whoDetail, made.whoDetail);
        const auto result = i < Recorded ? RecordedEntries::result(i) : JournalEntry::Result::Pending;
        QCOMPARE(entry.result, result);
        const bool settledLate = result == JournalEntry::Result::Failed || result == JournalEntry::Result::GivenUp;
        QCOMPARE(entry.detail, settledLate ? QStringLiteral("settled %1").arg(i) : QString());
    }
    // Ids go on after the last one in the file.
    QCOMPARE(journal.record(RecordedEntries::made(0)), qint64(expected + 1));
}

void TestJournal::queryFiltersNewestFirst()
{
    Journal journal(path());
    QVERIFY(journal.open());
    using Who = JournalEntry::Who;
    // Recorded out of time order, as a schedule's late entry would be.
    journal.record(at(30, 2, Who::Remote, QStringLiteral("10.0.0.5 Console"), QStringLiteral("recall")));
    journal.record(at(10, 1, Who::Operator, {}, QStringLiteral("recall")));
    journal.record(at(20, 2, Who::Schedule, QStringLiteral("Morning 100%"), QStringLiteral("look")));
    journal.record(at(40, 0, Who::Remote, QStringLiteral("10.0.0.6 tablet"), QStringLiteral("look")));
    journal.record(at(20, 1, Who::Operator, {}, QStringLiteral("take")));
    QVERIFY(journal.flush());

    const auto query = [&journal](const std::function<void(JournalQuery &)> &set) {
        JournalQuery filter;
        set(filter);
        return whats(journal.query(filter));
    };
    QCOMPARE(query([](JournalQuery &) {}),
             QStringList({"look at 40", "recall at 30", "take at 20", "look at 20", "recall at 10"}));
    QCOMPARE(query([](JournalQuery &q) { q.processor = 2; }), QStringList({"recall at 30", "look at 20"}));
    QCOMPARE(query([](JournalQuery &q) { q.who = Who::Remote; }), QStringList({"look at 40", "recall at 30"}));
    QCOMPARE(query([](JournalQuery &q) { q.whoText = QStringLiteral("CONSOLE"); }), QStringList({"recall at 30"}));
    // The text is matched as typed, not as a pattern.
    QCOMPARE(query([](JournalQuery &q) { q.whoText = QStringLiteral("100%"); }), QStringList({"look at 20"}));
    QCOMPARE(query([](JournalQuery &q) { q.whoText = QStringLiteral("_"); }), QStringList());
    QCOMPARE(query([](JournalQuery &q) {
                 q.from = Base.addSecs(qint64(20) * 60);
                 q.to = Base.addSecs(qint64(30) * 60);
             }),
             QStringList({"recall at 30", "take at 20", "look at 20"}));
    QCOMPARE(query([](JournalQuery &q) { q.kind = QStringLiteral("look"); }), QStringList({"look at 40", "look at 20"}));
    QCOMPARE(query([](JournalQuery &q) {
                 q.who = Who::Operator;
                 q.processor = 1;
                 q.limit = 1;
             }),
             QStringList({"take at 20"}));
}

void TestJournal::writeDays(int count)
{
    Journal journal(path());
    QVERIFY(journal.open());
    const QDateTime now = QDateTime::currentDateTimeUtc();
    for (int day = 0; day < count; ++day) {
        JournalEntry entry;
        entry.time = now.addDays(-day);
        entry.what = QStringLiteral("day %1").arg(day);
        journal.record(entry);
    }
}

void TestJournal::retentionRemovesOldEntries()
{
    writeDays(100);
    {
        Journal journal(path());
        QVERIFY(journal.open());
        const QStringList kept = whats(journal.query({}));
        QCOMPARE(kept.size(), 90);
        QCOMPARE(kept.last(), QStringLiteral("day 89"));
    }
    Journal journal(path());
    journal.setRetentionDays(7);
    QVERIFY(journal.open());
    QCOMPARE(whats(journal.query({})).size(), 7);
}

void TestJournal::textsAreBounded()
{
    Journal journal(path());
    QVERIFY(journal.open());
    JournalEntry entry;
    entry.what = QString(100000, QLatin1Char('w'));
    entry.whoDetail = QString(100000, QLatin1Char('d'));
    entry.kind = QString(1000, QLatin1Char('k'));
    entry.processor = 9;
    const qint64 id = journal.record(entry);
    journal.settle(id, JournalEntry::Result::Failed, QString(100000, QLatin1Char('x')));
    // A second word on a settled entry changes nothing.
    QVERIFY(journal.flush());
    journal.settle(id, JournalEntry::Result::Confirmed);
    QVERIFY(journal.flush());

    JournalQuery huge;
    huge.limit = 1000000;
    huge.whoText = QString(100000, QLatin1Char('d'));
    const QList<JournalEntry> found = journal.query(huge);
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().what.size(), JournalEntry::MaxText);
    QCOMPARE(found.first().whoDetail.size(), JournalEntry::MaxText);
    QCOMPARE(found.first().kind.size(), JournalEntry::MaxKind);
    QCOMPARE(found.first().detail.size(), JournalEntry::MaxText);
    QCOMPARE(found.first().processor, 0);
    QCOMPARE(found.first().result, JournalEntry::Result::Failed);
}

void TestJournal::damagedFileIsMovedAside_data()
{
    QTest::addColumn<qint64>("offset");
    QTest::newRow("not a database") << qint64(0);
    QTest::newRow("a damaged page") << qint64(8192);
}

void TestJournal::damagedFileIsMovedAside()
{
    QFETCH(qint64, offset);
    writeDays(80);
    QFile file(path());
    QVERIFY(file.size() > offset + 4096);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.seek(offset);
    file.write(QByteArray(4096, '\x5a'));
    file.seek(0);
    const QByteArray damaged = file.readAll();
    file.close();

    Journal journal(path());
    QSignalSpy failed(&journal, &Journal::failed);
    QVERIFY(journal.open());
    QVERIFY(journal.lastError().contains(QLatin1String("moved aside")));
    QVERIFY(!failed.isEmpty());
    const QStringList aside = QDir(m_dir->path()).entryList({QStringLiteral("journal.db.bad-*")});
    QCOMPARE(aside.size(), 1);
    QFile moved(m_dir->filePath(aside.first()));
    QVERIFY(moved.open(QIODevice::ReadOnly));
    QCOMPARE(moved.readAll(), damaged);
    QVERIFY(journal.query({}).isEmpty());
    QVERIFY(journal.record(JournalEntry()) > 0);
    QVERIFY(journal.flush());
    QCOMPARE(journal.query({}).size(), 1);
}

void TestJournal::unwritableFolderIsSaid()
{
    Journal journal(m_dir->filePath(QStringLiteral("missing/journal.db")));
    QVERIFY(!journal.open());
    QVERIFY(!journal.lastError().isEmpty());
    QCOMPARE(journal.record(JournalEntry()), qint64(0));
    QVERIFY(journal.query({}).isEmpty());
}

void TestJournal::fileHeldByAnotherWriterIsWaitedFor()
{
    Journal journal(path());
    QVERIFY(journal.open());
    {
        QSqlDatabase other = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("other"));
        other.setDatabaseName(path());
        QVERIFY(other.open());
        QSqlQuery hold(other);
        QVERIFY(hold.exec(QStringLiteral("BEGIN IMMEDIATE")));
        journal.record(JournalEntry());
        // The writer waits its busy time-out, then keeps the entry.
        QVERIFY(!journal.flush());
        QTRY_VERIFY(journal.lastError().contains(QLatin1String("locked")));
        QVERIFY(hold.exec(QStringLiteral("ROLLBACK")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("other"));
    QTRY_VERIFY_WITH_TIMEOUT(journal.flush(), 10000);
    QCOMPARE(journal.query({}).size(), 1);
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
