// The station's files: the processors in the settings file beside what a
// one-processor station always wrote there, and the looks' file, which
// anyone may have edited.

#include "lookstore.h"
#include "stationsettings.h"

#include <settingsfile.h>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
}

} // namespace

class TestStationFiles : public QObject
{
    Q_OBJECT

private slots:
    void oneProcessorFileIsAStationOfOne();
    void processorsComeBackAsWritten();
    void groupsStopAtTheFirstGap();
    void looksComeBackAsWritten();
    void hostileLooksAreRefused_data();
    void hostileLooksAreRefused();

private:
    QTemporaryDir m_dir;
    QString path(const QString &name) const { return m_dir.filePath(name); }
};

// The settings file of a station of one, as it has always been written,
// reads as that one processor, link and all.
void TestStationFiles::oneProcessorFileIsAStationOfOne()
{
    SettingsFile::Contents contents;
    contents.linkSettings = QStringList{"0", "10.0.0.5", "5000", "255.255.255.0", "10.0.0.1", "16-21-2C", "COM3"};
    contents.checkSum = QByteArray("12345678");
    contents.defaults = false;
    QVERIFY(SettingsFile::write(path("one.ini"), contents));
    const QList<StationSettings::Processor> processors = StationSettings::read(path("one.ini"));
    QCOMPARE(processors.size(), 1);
    QCOMPARE(processors.first().name, QStringLiteral("Processor 1"));
    QCOMPARE(processors.first().link, contents.linkSettings);
}

// Names and links of three processors survive a write and a read, and the
// first one's keys, which the settings file owns, are left alone; removing
// a processor removes its group.
void TestStationFiles::processorsComeBackAsWritten()
{
    SettingsFile::Contents contents;
    contents.linkSettings = SettingsFile::defaultLinkSettings();
    contents.defaults = false;
    QVERIFY(SettingsFile::write(path("three.ini"), contents));
    QStringList tcp = SettingsFile::defaultLinkSettings();
    tcp[0] = "0";
    tcp[1] = "127.0.0.1";
    tcp[2] = "9400";
    QStringList serial = SettingsFile::defaultLinkSettings();
    serial[6] = "/dev/ttyUSB1";
    const QList<StationSettings::Processor> written{
        {"Main wall", contents.linkSettings}, {"Stage floor", tcp}, {"Lobby", serial}};
    QVERIFY(StationSettings::write(path("three.ini"), written));
    QCOMPARE(StationSettings::read(path("three.ini")).size(), 3);
    const QList<StationSettings::Processor> read = StationSettings::read(path("three.ini"));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(read.at(i).name, written.at(i).name);
        QCOMPARE(read.at(i).link, written.at(i).link);
    }
    QCOMPARE(SettingsFile::read(path("three.ini")).linkSettings, contents.linkSettings);
    QVERIFY(StationSettings::write(path("three.ini"), written.mid(0, 2)));
    QCOMPARE(StationSettings::read(path("three.ini")).size(), 2);
    QCOMPARE(StationSettings::folderOf(1), QStringLiteral("processor2"));
}

// A processor's number names its folder: a gap or a group that is not a
// link ends the list rather than shifting the processors after it.
void TestStationFiles::groupsStopAtTheFirstGap()
{
    writeText(path("gap.ini"), "[processor2]\n0=0\n1=127.0.0.1\n2=9400\n"
                               "[processor3]\n0=0\n1=not an address\n2=9401\n"
                               "[processor4]\n0=0\n1=127.0.0.1\n2=9402\n"
                               "[processor6]\n0=0\n1=127.0.0.1\n2=9403\n");
    QCOMPARE(StationSettings::read(path("gap.ini")).size(), 2);
    writeText(path("port.ini"), "[processor2]\n0=0\n1=127.0.0.1\n2=70000\nname=Side\n");
    QCOMPARE(StationSettings::read(path("port.ini")).size(), 1);
}

void TestStationFiles::looksComeBackAsWritten()
{
    const QList<Look> looks{{"Opening", {{0, 3}, {2, 15}}}, {"Break", {{1, 0}}}};
    QVERIFY(LookStore::write(path("looks.json"), looks));
    const LookStore::Loaded loaded = LookStore::read(path("looks.json"), 3);
    QCOMPARE(loaded.errors, QStringList());
    QCOMPARE(loaded.looks, looks);
    QCOMPARE(LookStore::read(path("none.json"), 3).looks.size(), 0);
    QCOMPARE(LookStore::read(path("none.json"), 3).errors.size(), 0);
}

// Each faulty look is refused whole with a reason; the sound ones of the
// same file are kept.
void TestStationFiles::hostileLooksAreRefused_data()
{
    QTest::addColumn<QByteArray>("look");
    const QByteArray preset = R"("presets": [{"processor": 1, "preset": 1}])";
    QTest::newRow("processor out of range") << QByteArray(R"({"name": "A", "presets": [{"processor": 4, "preset": 1}]})");
    QTest::newRow("preset 0") << QByteArray(R"({"name": "A", "presets": [{"processor": 1, "preset": 0}]})");
    QTest::newRow("preset 17") << QByteArray(R"({"name": "A", "presets": [{"processor": 1, "preset": 17}]})");
    QTest::newRow("fraction") << QByteArray(R"({"name": "A", "presets": [{"processor": 1.5, "preset": 2}]})");
    QTest::newRow("text number") << QByteArray(R"({"name": "A", "presets": [{"processor": "1", "preset": 2}]})");
    QTest::newRow("huge") << QByteArray(R"({"name": "A", "presets": [{"processor": 1e300, "preset": 2}]})");
    QTest::newRow("processor twice")
        << QByteArray(R"({"name": "A", "presets": [{"processor": 1, "preset": 1}, {"processor": 1, "preset": 2}]})");
    QTest::newRow("no presets") << QByteArray(R"({"name": "A", "presets": []})");
    QTest::newRow("empty name") << QByteArray(R"({"name": "  ", )" + preset + "}");
    QTest::newRow("long name") << QByteArray(R"({"name": ")" + QByteArray(33, 'x') + "\", " + preset + "}");
    QTest::newRow("name taken") << QByteArray(R"({"name": "keep", )" + preset + "}");
    QTest::newRow("not an object") << QByteArray("[1, 2]");
}

void TestStationFiles::hostileLooksAreRefused()
{
    QFETCH(QByteArray, look);
    const QByteArray sound = R"({"name": "Keep", "presets": [{"processor": 2, "preset": 16}]})";
    writeText(path("hostile.json"), "{\"looks\": [" + sound + ", " + look + "]}");
    const LookStore::Loaded loaded = LookStore::read(path("hostile.json"), 3);
    QCOMPARE(loaded.looks.size(), 1);
    QCOMPARE(loaded.looks.first().entries, (QList<Look::Entry>{{1, 15}}));
    QCOMPARE(loaded.errors.size(), 1);
}

QTEST_GUILESS_MAIN(TestStationFiles)
#include "tst_stationfiles.moc"
