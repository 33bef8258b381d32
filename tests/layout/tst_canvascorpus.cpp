#include <canvasfuzzentry.h>

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QtTest>

// Replays the canvas fuzz target's corpus (seeds and former crashers)
// through its entry function under the sanitizers of the test build. The
// reader accepts exactly the seeds named valid_*.
class TestCanvasCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void replay_data();
    void replay();
};

void TestCanvasCorpus::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.*=false"));
}

void TestCanvasCorpus::replay_data()
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(FUZZ_CORPUS_DIR));
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= 16);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

void TestCanvasCorpus::replay()
{
    QFETCH(QString, path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray input = file.readAll();
    const bool accepted = feedCanvasInput(reinterpret_cast<const std::uint8_t *>(input.constData()),
                                          static_cast<std::size_t>(input.size()));
    QCOMPARE(accepted, QFileInfo(path).fileName().startsWith(QLatin1String("valid_")));
}

QTEST_GUILESS_MAIN(TestCanvasCorpus)
#include "tst_canvascorpus.moc"
