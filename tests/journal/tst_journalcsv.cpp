#include <journalcsv.h>

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestJournalCsv : public QObject
{
    Q_OBJECT

private slots:
    void fieldsAreQuoted_data();
    void fieldsAreQuoted();
    void rowsAreUtf8WithHeader();
    void failedWriteLeavesNoHalfFile();
};

void TestJournalCsv::fieldsAreQuoted_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("field");
    QTest::newRow("plain") << "recall M3" << "recall M3";
    QTest::newRow("comma") << "a, b" << "\"a, b\"";
    QTest::newRow("quote") << "the \"main\" wall" << "\"the \"\"main\"\" wall\"";
    QTest::newRow("line break") << "one\ntwo" << "\"one\ntwo\"";
    QTest::newRow("carriage return") << "one\rtwo" << "\"one\rtwo\"";
    QTest::newRow("formula") << "=HYPERLINK(\"x\")" << "\"'=HYPERLINK(\"\"x\"\")\"";
    QTest::newRow("plus") << "+1" << "'+1";
    QTest::newRow("minus") << "-2+3" << "'-2+3";
    QTest::newRow("at") << "@SUM(A1)" << "'@SUM(A1)";
    QTest::newRow("tab") << "\t=1" << "'\t=1";
    QTest::newRow("inner equals") << "a=b" << "a=b";
    QTest::newRow("empty") << "" << "";
}

void TestJournalCsv::fieldsAreQuoted()
{
    QFETCH(QString, text);
    QFETCH(QString, field);
    QCOMPARE(JournalCsv::field(text), field);
}

void TestJournalCsv::rowsAreUtf8WithHeader()
{
    JournalEntry entry;
    entry.id = 7;
    entry.time = QDateTime(QDate(2026, 3, 1), QTime(12, 0, 5, 250), Qt::UTC);
    entry.who = JournalEntry::Who::Remote;
    entry.whoDetail = QStringLiteral("10.0.0.5 控制台");
    entry.processor = 2;
    entry.processorName = QStringLiteral("Left, upper");
    entry.kind = QStringLiteral("recall");
    entry.what = QStringLiteral("recall M3");
    entry.result = JournalEntry::Result::GivenUp;
    QBuffer buffer;
    QVERIFY(buffer.open(QIODevice::WriteOnly));
    QVERIFY(JournalCsv::write({entry}, &buffer));
    QCOMPARE(buffer.data(),
             QByteArray("\xEF\xBB\xBF"
                        "id,time,who,who_detail,processor,processor_name,kind,what,result,detail\r\n"
                        "7,2026-03-01T12:00:05.250Z,remote,10.0.0.5 ")
                 + QStringLiteral("控制台").toUtf8()
                 + QByteArray(",2,\"Left, upper\",recall,recall M3,given-up,\r\n"));
}

void TestJournalCsv::failedWriteLeavesNoHalfFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing/journal.csv"));
    QVERIFY(!JournalCsv::write({JournalEntry()}, path));
    QVERIFY(!QFile::exists(path));
    const QString good = dir.filePath(QStringLiteral("journal.csv"));
    QVERIFY(JournalCsv::write({JournalEntry()}, good));
    QVERIFY(QFile::exists(good));
}

QTEST_GUILESS_MAIN(TestJournalCsv)
#include "tst_journalcsv.moc"
