#include <linkfuzzentry.h>

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QtTest>

// Replays the fuzz target's corpus (seeds and former crashers) through its
// entry function under the sanitizers of the test build.
class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replay_data();
    void replay();
};

void TestFuzzCorpus::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.*=false"));
}

void TestFuzzCorpus::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(FUZZ_CORPUS_DIR));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 24);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestFuzzCorpus::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();
    feedLinkInput(reinterpret_cast<const std::uint8_t *>(input.constData()),
                  static_cast<std::size_t>(input.size()));
}

QTEST_GUILESS_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
