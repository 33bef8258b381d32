#include <canvasfuzzentry.h>
#include <linkfuzzentry.h>
#include <remotefuzzentry.h>

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QtTest>

// Replays the fuzz targets' corpora (seeds and former crashers) through
// their entry functions under the sanitizers of the test build. The canvas
// reader and the remote decoders accept exactly the seeds named valid_*.
class TestFuzzCorpus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void link_data() { addCorpus(QStringLiteral("corpus"), 24); }
    void link();
    void canvas_data() { addCorpus(QStringLiteral("canvas-corpus"), 16); }
    void canvas();
    void remote_data() { addCorpus(QStringLiteral("remote-corpus"), 16); }
    void remote();

private:
    static void addCorpus(const QString &folder, int atLeast);
    static QByteArray input();
};

void TestFuzzCorpus::initTestCase()
{
    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.*=false"));
}

void TestFuzzCorpus::addCorpus(const QString &folder, int atLeast)
{
    QTest::addColumn<QString>("path");
    const QDir corpus(QStringLiteral(FUZZ_DIR "/") + folder);
    const QStringList names = corpus.entryList(QDir::Files, QDir::Name);
    QVERIFY(names.size() >= atLeast);
    for (const QString &name : names)
        QTest::newRow(qPrintable(name)) << corpus.filePath(name);
}

QByteArray TestFuzzCorpus::input()
{
    QFETCH(QString, path);
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestFuzzCorpus::link()
{
    const QByteArray bytes = input();
    QVERIFY(!bytes.isEmpty());
    feedLinkInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                  static_cast<std::size_t>(bytes.size()));
}

void TestFuzzCorpus::canvas()
{
    QFETCH(QString, path);
    const QByteArray bytes = input();
    const bool accepted = feedCanvasInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                          static_cast<std::size_t>(bytes.size()));
    QCOMPARE(accepted, QFileInfo(path).fileName().startsWith(QLatin1String("valid_")));
}

void TestFuzzCorpus::remote()
{
    QFETCH(QString, path);
    const QByteArray bytes = input();
    const bool taken = feedRemoteInput(reinterpret_cast<const std::uint8_t *>(bytes.constData()),
                                       static_cast<std::size_t>(bytes.size()));
    QCOMPARE(taken, QFileInfo(path).fileName().startsWith(QLatin1String("valid_")));
}

QTEST_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
