// The program's files: the data file, the names file and the settings
// file; what they keep, and how they fail.

#include "appdirectory.h"
#include "datafile.h"
#include "datafiledialog.h"
#include "devicedata.h"
#include "settingsfile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A record with every stored field set to something other than its default.
DeviceData filledRecord()
{
    DeviceData data;
    for (int i = 0; i < DeviceData::Presets; ++i) {
        data.modelNames[i] = QStringLiteral("Preset %1 \u00e9\u4e2d").arg(i);
        data.modelView[i] = QByteArray(20 + i, char('a' + i));
    }
    for (int i = 0; i < DeviceData::NameSlots; ++i)
        data.inCardNames[i] = QStringLiteral("Input %1").arg(i);
    data.setWallSize(4, 8);
    for (int c = 0; c < data.cols(); ++c)
        data.colWidths[c] = 100 + c;
    for (int r = 0; r < data.rows(); ++r)
        data.rowHeights[r] = 200 + r;
    data.outMode2 = 2;
    data.outResolution = 9;
    data.outWidth = 3072;
    data.outHeight = 720;
    data.curModel = 11;
    return data;
}

void compareStoredFields(const DeviceData &a, const DeviceData &b)
{
    QCOMPARE(a.modelNames, b.modelNames);
    QCOMPARE(a.colWidths, b.colWidths);
    QCOMPARE(a.rowHeights, b.rowHeights);
    QCOMPARE(a.outMode2, b.outMode2);
    QCOMPARE(a.modelView, b.modelView);
    QCOMPARE(a.outResolution, b.outResolution);
    QCOMPARE(a.outWidth, b.outWidth);
    QCOMPARE(a.outHeight, b.outHeight);
    QCOMPARE(a.curModel, b.curModel);
    QCOMPARE(a.inCardNames, b.inCardNames);
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

// A data file whose body starts with the given grid counts.
QByteArray fileWithGrid(qint32 rows, qint32 cols)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << DataFile::Magic << DataFile::FormatVersion;
    out.setVersion(QDataStream::Qt_4_5);
    for (int i = 0; i < DeviceData::Presets; ++i)
        out << QString();
    out << rows << cols << qint32(4);
    return bytes;
}

} // namespace

class TestFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void headerAndLayout();
    void roundTrip();
    void namesRoundTrip();
    void newerOrForeignFilesAreRefused();
    void truncatedFilesLeaveTheRecordAlone();
    void insaneGridCountsAreRefused_data();
    void insaneGridCountsAreRefused();
    void unwritablePathsReportFailure();
    void missingFiles();
    void dataSuffix();
    void settingsRead_data();
    void settingsRead();
    void writeLeavesExactlyOurKeys();
    void presetMarks();

private:
    QString path(const QString &name) const { return m_dir->filePath(name); }
    QString settingsPath() const { return path(QStringLiteral("infoCong.ini")); }
    void writeKeys(const QVariantMap &keys);

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestFiles::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    AppDirectory::setPath(m_dir->path());
}

void TestFiles::headerAndLayout()
{
    DeviceData data;
    data.setPaths();
    data.setWallSize(3, 4);
    data.colWidths = {11, 12, 13, 14};
    data.rowHeights = {21, 22, 23};
    QCOMPARE(data.saveFile(QStringLiteral("default")), int(DataFile::Done));

    const QByteArray bytes = readAll(data.configPath);
    QCOMPARE(bytes.left(6).toHex(' '), QByteArray("05 a4 6b c1 00 0c"));

    QDataStream in(bytes);
    in.skipRawData(6);
    in.setVersion(QDataStream::Qt_4_5);
    for (int i = 0; i < DeviceData::Presets; ++i) {
        QString name;
        in >> name;
    }
    QVector<qint32> grid(3 + 4 + 3);
    for (qint32 &v : grid)
        in >> v;
    // rows, cols, output mode, then the columns' widths, then the rows' heights
    QCOMPARE(grid, QVector<qint32>({3, 4, 0, 11, 12, 13, 14, 21, 22, 23}));
}

void TestFiles::roundTrip()
{
    const DeviceData saved = filledRecord();
    QCOMPARE(DataFile::write(path("full.pd"), DataFile::Data, saved), DataFile::Done);

    DeviceData loaded;
    QCOMPARE(DataFile::read(path("full.pd"), DataFile::Data, loaded), DataFile::Done);
    compareStoredFields(loaded, saved);
}

void TestFiles::namesRoundTrip()
{
    DeviceData saved = filledRecord();
    saved.setPaths();
    QCOMPARE(saved.saveNames(), int(DataFile::Done));

    DeviceData loaded;
    loaded.setPaths();
    QCOMPARE(loaded.loadNames(), int(DataFile::Done));
    QCOMPARE(loaded.modelNames, saved.modelNames);
    QCOMPARE(loaded.inCardNames, saved.inCardNames);
    QCOMPARE(loaded.rows(), 2); // the names file carries no wall
}

// Version 13, another magic and a names file are refused and leave the
// record alone; version 11 still opens.
void TestFiles::newerOrForeignFilesAreRefused()
{
    QVERIFY(DataFile::write(path("ok.pd"), DataFile::Data, filledRecord()) == DataFile::Done);
    const QByteArray bytes = readAll(path("ok.pd"));
    DeviceData names = filledRecord();
    names.namesPath = path("names.pd");
    QCOMPARE(names.saveNames(), int(DataFile::Done));
    const QList<QPair<int, char>> edits{{5, 13}, {0, 0x06}, {5, 11}};
    for (const auto &edit : edits) {
        QByteArray edited = bytes;
        edited[edit.first] = edit.second;
        writeAll(path("edited.pd"), edited);
        DeviceData data;
        const bool older = edit.second == 11;
        QCOMPARE(DataFile::read(path("edited.pd"), DataFile::Data, data),
                 older ? DataFile::Done : DataFile::NotADataFile);
        if (!older)
            compareStoredFields(data, DeviceData());
    }
    DeviceData data;
    QCOMPARE(DataFile::read(path("names.pd"), DataFile::Data, data), DataFile::NotADataFile);
    compareStoredFields(data, DeviceData());
}

void TestFiles::truncatedFilesLeaveTheRecordAlone()
{
    DeviceData small;
    small.modelNames[0] = QStringLiteral("A");
    small.modelView[15] = "view";
    small.inCardNames[63] = QStringLiteral("Z");
    QVERIFY(DataFile::write(path("whole.pd"), DataFile::Data, small) == DataFile::Done);
    const QByteArray bytes = readAll(path("whole.pd"));

    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.data.warning=false"));
    const DeviceData before = filledRecord();
    for (int cut = 0; cut < bytes.size(); ++cut) {
        writeAll(path("cut.pd"), bytes.left(cut));
        DeviceData data = before;
        QCOMPARE(DataFile::read(path("cut.pd"), DataFile::Data, data), DataFile::NotADataFile);
        compareStoredFields(data, before);
    }
    DeviceData data = before;
    QCOMPARE(DataFile::read(path("whole.pd"), DataFile::Data, data), DataFile::Done);
    compareStoredFields(data, small);
    QLoggingCategory::setFilterRules(QString());
}

void TestFiles::insaneGridCountsAreRefused_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");

    QTest::newRow("no rows") << 0 << 2;
    QTest::newRow("huge") << 100000 << 100000;
    QTest::newRow("negative") << -1 << 4;
}

// Only the counts can refuse these files; the rule has its own test.
void TestFiles::insaneGridCountsAreRefused()
{
    QFETCH(int, rows);
    QFETCH(int, cols);

    QByteArray bytes = fileWithGrid(rows, cols) + QByteArray(4096, '\0');
    writeAll(path("grid.pd"), bytes);
    DeviceData data;
    QCOMPARE(DataFile::read(path("grid.pd"), DataFile::Data, data), DataFile::NotADataFile);
    QCOMPARE(data.rows(), 2);
    QCOMPARE(data.cols(), 2);
}

void TestFiles::unwritablePathsReportFailure()
{
    QVERIFY(QDir(m_dir->path()).mkdir("taken.pd"));
    writeAll(path("plain"), "x");
    DeviceData data = filledRecord();
    for (const QString &target : {path("taken.pd"), path("plain/inside.pd"), path("no/such/dir.pd")})
        QCOMPARE(DataFile::write(target, DataFile::Data, data), DataFile::CannotOpen);

    data.namesPath = path("taken.pd");
    QCOMPARE(data.saveNames(), int(DataFile::CannotOpen));
}

void TestFiles::missingFiles()
{
    DeviceData data;
    data.setPaths();
    QCOMPARE(data.loadNames(), int(DataFile::CannotOpen));
    QCOMPARE(data.openFile(QStringLiteral("default")), int(DataFile::CannotOpen));
    data.namesPath.clear();
    QCOMPARE(data.loadNames(), int(DataFile::CannotOpen));
}

void TestFiles::dataSuffix()
{
    QCOMPARE(DataFileDialog::withDataSuffix(QStringLiteral("WALL1.PD")), QStringLiteral("WALL1.PD"));
    QCOMPARE(DataFileDialog::withDataSuffix(QStringLiteral("a.Pd")), QStringLiteral("a.Pd"));
    QCOMPARE(DataFileDialog::withDataSuffix(QStringLiteral("show.pdx")), QStringLiteral("show.pdx.pd"));
    QCOMPARE(DataFileDialog::withDataSuffix(QString()), QString());
}

void TestFiles::writeKeys(const QVariantMap &keys)
{
    QSettings settings(settingsPath(), QSettings::IniFormat);
    for (auto it = keys.begin(); it != keys.end(); ++it)
        settings.setValue(it.key(), it.value());
}

// The link settings are the numbered keys 0 to 6, whatever else the file
// holds; a file of fewer than five keys of its own (a group's do not count)
// is taken as none: Chinese and the defaults. Reconnection is on unless
// switched off.
void TestFiles::settingsRead_data()
{
    QTest::addColumn<QVariantMap>("keys");
    QTest::addColumn<bool>("defaults");
    QTest::addColumn<QStringList>("link");
    QTest::addColumn<int>("language");
    QTest::addColumn<QByteArray>("checkSum");
    QTest::addColumn<bool>("reconnect");
    const QStringList defaults = {"1", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"};
    const QStringList stored = {"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "AA-BB-CC", "/dev/ttyUSB0"};
    QVariantMap numbered;
    for (int i = 0; i < stored.size(); ++i)
        numbered.insert(QString::number(i), stored.at(i));
    QVariantMap stray = numbered;
    stray.insert("10", "stray");
    stray.insert("aaa", "stray");
    const QByteArray tag = QByteArray::fromHex("0102030405060708");
    QTest::newRow("no file") << QVariantMap() << true << defaults << 0 << QByteArray(8, '\0') << true;
    QTest::newRow("four keys") << QVariantMap{{"language", 1}, {"0", "0"}, {"1", "10.0.0.2"}, {"checkSum", tag}}
                               << true << defaults << 0 << QByteArray(8, '\0') << true;
    QTest::newRow("four keys and a group's")
        << QVariantMap{{"language", 1}, {"0", "0"}, {"1", "10.0.0.2"}, {"checkSum", tag}, {"link/reconnect", false}}
        << true << defaults << 0 << QByteArray(8, '\0') << false;
    QTest::newRow("five keys")
        << QVariantMap{{"0", "0"}, {"1", "10.1.2.3"}, {"2", "23"}, {"language", 7}, {"checkSum", tag}} << false
        << QStringList{"0", "10.1.2.3", "23", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"} << 1 << tag
        << true;
    QTest::newRow("numbered keys without language") << numbered << false << stored << 0 << QByteArray() << true;
    QTest::newRow("stray keys") << stray << false << stored << 0 << QByteArray() << true;
    const QVariantMap remoteOnly{{"Remote/enabled", "true"}, {"Remote/oscPort", 9300}, {"Remote/wsPort", 9301},
                                 {"Remote/listen", "0.0.0.0"}, {"Remote/token", "t"}, {"Remote/oscAllow", "10.0.0.5"}};
    QTest::newRow("a remote group alone") << remoteOnly << true << SettingsFile::defaultLinkSettings() << 0
                                          << SettingsFile::defaultCheckSum() << true;
}

void TestFiles::settingsRead()
{
    QFETCH(QVariantMap, keys);
    writeKeys(keys);
    const SettingsFile::Contents c = SettingsFile::read(settingsPath());
    QTEST(c.defaults, "defaults");
    QTEST(c.linkSettings, "link");
    QTEST(c.language, "language");
    QTEST(c.checkSum, "checkSum");
    QTEST(c.reconnect, "reconnect");
}

void TestFiles::writeLeavesExactlyOurKeys()
{
    writeKeys({{"10", "stray"}, {"Remote/enabled", "true"}, {"presets/changedHere", "3"}});
    SettingsFile::Contents written;
    written.linkSettings = QStringList{"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "AA-BB-CC", "COM21"};
    written.language = 1;
    written.checkSum = QByteArray::fromHex("00ff10fe20fd30fc");
    written.reconnect = false;
    QVERIFY(SettingsFile::write(settingsPath(), written));

    QStringList keys = QSettings(settingsPath(), QSettings::IniFormat).allKeys();
    keys.sort();
    QCOMPARE(keys, QStringList({"0", "1", "2", "3", "4", "5", "6", "Remote/enabled", "checkSum", "language",
                                "link/reconnect", "presets/changedHere"}));

    const SettingsFile::Contents read = SettingsFile::read(settingsPath());
    QVERIFY(!read.defaults);
    QCOMPARE(read.linkSettings, written.linkSettings);
    QCOMPARE(read.language, 1);
    QCOMPARE(read.checkSum, written.checkSum);
    QVERIFY(!read.reconnect);
}

// The presets marked changed here and differing, counted from 1 in the
// file: what a hand or another program put there that is not a preset
// number is dropped, and none leaves no key.
void TestFiles::presetMarks()
{
    QVERIFY(SettingsFile::changedPresets(settingsPath()).isEmpty());
    QVERIFY(SettingsFile::differingPresets(settingsPath()).isEmpty());
    QVERIFY(SettingsFile::writePresetMarks(settingsPath(), {0, 15, 4}, {2}));
    QCOMPARE(SettingsFile::changedPresets(settingsPath()), QList<int>({0, 15, 4}));
    QCOMPARE(SettingsFile::differingPresets(settingsPath()), QList<int>({2}));
    QVERIFY(SettingsFile::writePresetMarks(settingsPath(), {7}, {}));
    QCOMPARE(SettingsFile::changedPresets(settingsPath()), QList<int>({7}));
    QVERIFY(SettingsFile::differingPresets(settingsPath()).isEmpty());

    const QStringList hostile{"0", "17", "-2147483648", "2147483647", "x", "", "2", "2", " 16"};
    writeKeys({{"presets/changedHere", hostile}, {"presets/differsOnDevice", hostile}});
    QCOMPARE(SettingsFile::changedPresets(settingsPath()), QList<int>({1, 15}));
    QCOMPARE(SettingsFile::differingPresets(settingsPath()), QList<int>({1, 15}));

    QVERIFY(SettingsFile::writePresetMarks(settingsPath(), {}, {}));
    QVERIFY(QSettings(settingsPath(), QSettings::IniFormat).allKeys().isEmpty());
}

QTEST_GUILESS_MAIN(TestFiles)
#include "tst_files.moc"
