// The backup table as a file or a client gives it: every fault refused
// with the field named, and a valid list read back as written.

#include "backuptable.h"

#include <QtTest>

class TestBackupTable : public QObject
{
    Q_OBJECT

private slots:
    void roundTrip();
    void lookups();
    void hostile_data();
    void hostile();
    void dialogEntriesHeldToTheSameRules();
};

void TestBackupTable::roundTrip()
{
    const QList<BackupTable::Entry> entries{{1, 5, {6, 7}, BackupTable::Return::Auto, 10},
                                            {8, 223, {0}, BackupTable::Return::Manual, 1}};
    QString error;
    const auto read = BackupTable::listFromJson(BackupTable::listToJson(entries), &error);
    QVERIFY2(read, qPrintable(error));
    QCOMPARE(*read, entries);

    // Return and stable may be left out.
    const auto plain = BackupTable::listFromJson(R"([{"processor": 2, "input": 5, "backups": [9]}])", &error);
    QVERIFY2(plain, qPrintable(error));
    QCOMPARE(plain->constFirst().returnMode, BackupTable::Return::Auto);
    QCOMPARE(plain->constFirst().stableSeconds, BackupTable::DefaultStableSeconds);
}

void TestBackupTable::lookups()
{
    const BackupTable table({{1, 5, {6}, BackupTable::Return::Auto, 10}, {2, 5, {7}, BackupTable::Return::Auto, 10},
                             {1, 8, {9}, BackupTable::Return::Manual, 3}});
    QVERIFY(table.find(1, 5));
    QCOMPARE(table.find(2, 5)->backups, QList<int>{7});
    QVERIFY(!table.find(2, 8));
    QCOMPARE(table.ofProcessor(1).size(), 2);
    QVERIFY(table.ofProcessor(3).isEmpty());
}

void TestBackupTable::hostile_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("error");
    const QByteArray ok = R"("processor": 1, "input": 5, "backups": [6])";
    QTest::newRow("not json") << QByteArray("[{") << QString();
    QTest::newRow("not an array") << QByteArray("{}") << "not an array";
    QTest::newRow("entry not an object") << QByteArray("[[]]") << "[0]: not an object";
    QTest::newRow("unknown field") << "[{" + ok + R"(, "stabel": 3}])" << "[0].stabel: unknown field";
    QTest::newRow("no processor") << QByteArray(R"([{"input": 5, "backups": [6]}])") << "[0].processor: missing";
    QTest::newRow("processor 0") << QByteArray(R"([{"processor": 0, "input": 5, "backups": [6]}])")
                                 << "[0].processor: not a whole number from 1 to 8";
    QTest::newRow("processor 9") << QByteArray(R"([{"processor": 9, "input": 5, "backups": [6]}])")
                                 << "[0].processor: not a whole number from 1 to 8";
    QTest::newRow("processor text") << QByteArray(R"([{"processor": "1", "input": 5, "backups": [6]}])")
                                    << "[0].processor: not a whole number from 1 to 8";
    QTest::newRow("input fraction") << QByteArray(R"([{"processor": 1, "input": 5.5, "backups": [6]}])")
                                    << "[0].input: not a whole number from 0 to 223";
    QTest::newRow("input past the last") << QByteArray(R"([{"processor": 1, "input": 224, "backups": [6]}])")
                                         << "[0].input: not a whole number from 0 to 223";
    QTest::newRow("no backups") << QByteArray(R"([{"processor": 1, "input": 5, "backups": []}])")
                                << "[0].backups: 1 to 3 inputs";
    QTest::newRow("four backups") << QByteArray(R"([{"processor": 1, "input": 5, "backups": [6, 7, 8, 9]}])")
                                  << "[0].backups: 1 to 3 inputs";
    QTest::newRow("backups not a list") << QByteArray(R"([{"processor": 1, "input": 5, "backups": 6}])")
                                        << "[0].backups: missing or not an array";
    QTest::newRow("backup itself") << QByteArray(R"([{"processor": 1, "input": 5, "backups": [6, 5]}])")
                                   << "[0].backups[1]: the input itself";
    QTest::newRow("backup twice") << QByteArray(R"([{"processor": 1, "input": 5, "backups": [6, 6]}])")
                                  << "[0].backups[1]: named twice";
    QTest::newRow("backup negative") << QByteArray(R"([{"processor": 1, "input": 5, "backups": [-1]}])")
                                     << "[0].backups[0]: not an input from 0 to 223";
    QTest::newRow("return other") << "[{" + ok + R"(, "return": "later"}])"
                                  << "[0].return: neither \"auto\" nor \"manual\"";
    QTest::newRow("stable 0") << "[{" + ok + R"(, "stable": 0}])" << "[0].stable: not a whole number from 1 to 3600";
    QTest::newRow("stable huge") << "[{" + ok + R"(, "stable": 1e300}])"
                                 << "[0].stable: not a whole number from 1 to 3600";
    QTest::newRow("input twice") << "[{" + ok + "}, {" + ok + "}]"
                                 << "[1].input: processor 1 input 5 has backups already";
    QTest::newRow("too long") << QByteArray(300 * 1024, ' ') << "more than 262144 bytes";
}

void TestBackupTable::hostile()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, error);
    QString said;
    QVERIFY(!BackupTable::listFromJson(json, &said));
    QVERIFY(!said.isEmpty());
    if (!error.isEmpty())
        QCOMPARE(said, error);
}

void TestBackupTable::dialogEntriesHeldToTheSameRules()
{
    QVERIFY(BackupTable::problem({{1, 5, {6}, BackupTable::Return::Auto, 10}}).isEmpty());
    QCOMPARE(BackupTable::problem({{1, 5, {6, 7, 8, 9}, BackupTable::Return::Auto, 10}}),
             QStringLiteral("[0].backups: 1 to 3 inputs"));
}

QTEST_GUILESS_MAIN(TestBackupTable)
#include "tst_backuptable.moc"
