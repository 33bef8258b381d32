// What a read found of each preset, kept beside the data file: it comes
// back whole for the canvas data it was kept with, and a file that is not
// what was written keeps nothing.

#include "presetreadsfile.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

// Every byte fromBlock() reads is set, the cells with values 0 to 15.
QByteArray blockOf(int id)
{
    QByteArray block(WinData::BlockSize, '\0');
    for (int i = 0; i < block.size(); ++i)
        block[i] = char(id * 37 + i * 11);
    block[0] = char(id);
    block[1] = '\0';
    return block;
}

// Presets 0, 3 and 15 read: none, two and 64 windows; the others edited
// here since.
DeviceData recordWithReads()
{
    DeviceData data;
    for (size_t m = 0; m < DeviceData::Presets; ++m)
        data.modelView[m] = QByteArray(30 + int(m), char('a' + m));
    const std::array<int, 3> windows{0, 2, BlockLayout::Slots};
    const std::array<size_t, 3> presets{0, 3, 15};
    for (size_t p = 0; p < presets.size(); ++p) {
        PresetRead read;
        read.layers.fill(BlockLayout::NoLayer);
        for (int w = 0; w < windows[p]; ++w) {
            read.windows << WinData::fromBlock(blockOf(w));
            read.layers[size_t(w)] = windows[p] - 1 - w;
        }
        data.presetsAsRead[presets[p]] = read;
    }
    return data;
}

QList<QByteArray> blocksOf(const std::optional<PresetRead> &read)
{
    QList<QByteArray> blocks;
    for (const WinData &w : read->windows)
        blocks << w.toBlock();
    return blocks;
}

void compareReads(const PresetReadsFile::Reads &read, const PresetReadsFile::Reads &written)
{
    for (size_t m = 0; m < DeviceData::Presets; ++m) {
        QCOMPARE(read[m].has_value(), written[m].has_value());
        if (!written[m])
            continue;
        QCOMPARE(blocksOf(read[m]), blocksOf(written[m]));
        QVERIFY(read[m]->layers == written[m]->layers);
    }
}

bool noneKept(const PresetReadsFile::Reads &reads)
{
    return std::none_of(reads.cbegin(), reads.cend(), [](const auto &read) { return read.has_value(); });
}

// A well-formed file but for preset 0's count of windows, all there.
QByteArray fileWithWindows(const DeviceData &data, int windows)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << PresetReadsFile::Magic << PresetReadsFile::FormatVersion << quint8(windows);
    bytes += QCryptographicHash::hash(data.modelView[0], QCryptographicHash::Sha256);
    bytes += QByteArray(BlockLayout::LayerSize, char(BlockLayout::NoLayer));
    for (int w = 0; w < windows; ++w)
        bytes += blockOf(w);
    return bytes + QByteArray(DeviceData::Presets - 1, '\xff');
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

} // namespace

class TestPresetReadsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void blockRoundTrip();
    void readsComeBackWhole();
    void damagedFilesKeepNothing_data();
    void damagedFilesKeepNothing();
    void everyShortFileKeepsNothing();
    void unwritablePathReportsFailure();

private:
    QString path() const { return m_dir->filePath(QStringLiteral("MyConfigure.reads")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestPresetReadsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

// Every field of a device's window block, cells included, survives.
void TestPresetReadsFile::blockRoundTrip()
{
    for (int id = 0; id < 256; id += 51)
        QCOMPARE(WinData::fromBlock(blockOf(id)).toBlock(), blockOf(id));
}

// Reads kept for a canvas that has since changed (another data file, or a
// reads file from an earlier save) are not what the host holds.
void TestPresetReadsFile::readsComeBackWhole()
{
    DeviceData data = recordWithReads();
    QVERIFY(PresetReadsFile::write(path(), data));
    compareReads(PresetReadsFile::read(path(), data), data.presetsAsRead);
    data.modelView[3] += 'x';
    PresetReadsFile::Reads expected = data.presetsAsRead;
    expected[3].reset();
    compareReads(PresetReadsFile::read(path(), data), expected);
    writeAll(path(), fileWithWindows(data, BlockLayout::Slots));
    QCOMPARE(int(PresetReadsFile::read(path(), data)[0]->windows.size()), BlockLayout::Slots);
}

void TestPresetReadsFile::damagedFilesKeepNothing_data()
{
    const DeviceData data = recordWithReads();
    QVERIFY(PresetReadsFile::write(path(), data));
    const QByteArray good = readAll(path());
    // Preset 0 starts right after the header: its window count.
    constexpr int FirstCount = 6;

    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("foreign magic") << QByteArray(good).replace(0, 1, "\x7f");
    QTest::newRow("newer version") << QByteArray(good).replace(5, 1, "\x02");
    QTest::newRow("a byte more") << good + 'x';
    QTest::newRow("more windows than a preset has") << fileWithWindows(data, BlockLayout::Slots + 1);
    QTest::newRow("a count that reads into the next preset") << QByteArray(good).replace(FirstCount, 1, "\x40");
    QTest::newRow("a mebibyte more") << good + QByteArray(1024 * 1024, '\xff');
}

void TestPresetReadsFile::damagedFilesKeepNothing()
{
    QFETCH(QByteArray, bytes);
    writeAll(path(), bytes);
    QVERIFY(noneKept(PresetReadsFile::read(path(), recordWithReads())));
}

void TestPresetReadsFile::everyShortFileKeepsNothing()
{
    const DeviceData data = recordWithReads();
    QVERIFY(PresetReadsFile::write(path(), data));
    const QByteArray good = readAll(path());
    for (int size = 0; size < good.size(); size += 7) {
        writeAll(path(), good.left(size));
        QVERIFY2(noneKept(PresetReadsFile::read(path(), data)), qPrintable(QString::number(size)));
    }
}

void TestPresetReadsFile::unwritablePathReportsFailure()
{
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("MyConfigure.reads")));
    QVERIFY(!PresetReadsFile::write(path(), recordWithReads()));
    QVERIFY(noneKept(PresetReadsFile::read(path(), recordWithReads())));
    QVERIFY(noneKept(PresetReadsFile::read(m_dir->filePath(QStringLiteral("missing.reads")), recordWithReads())));
}

QTEST_GUILESS_MAIN(TestPresetReadsFile)
#include "tst_presetreadsfile.moc"
