#include "knowndevicecase.h"

#include <devicedata.h>
#include <singleton_serialport.h>

#include "signalrecorder.h"
#include "workertag.h"

#include <QtTest>

namespace {

// A window the tests put into a preset.
struct Window
{
    int preset, slot, channel, b3;
    const char *cells; // 16 bytes in hex, two cells a byte, high nibble first
    QRect wall, source;
};

const Window Windows[] = {
    {0, 0, 38, 0, "11000000000000000000000000000000", {0, 0, 1280, 720}, {0, 0, 1920, 1080}},
    {0, 9, 100, 2, "0011f000000000000000000000000000", {1280, 0, 2944, 720}, {16, 8, 960, 540}},
    {7, 63, 5, 0, "123456789abcdef0fedcba9876543210", {300, 200, 1000, 900}, {0, 0, 1920, 1080}},
    {15, 31, 223, 255, "ffffffffffffffffffffffffffffffff", {4000, 1500, 1024, 768}, {7, 9, 704, 576}},
};

const QVector<int> WallWidths{1280, 1920, 1024};
const QVector<int> WallHeights{720, 1080};
constexpr int WallResolution = 9;
constexpr int CurrentPreset = 7;

// The window's 36-byte block as the device stores it.
QByteArray blockOf(const Window &w)
{
    QByteArray block(Preset::WindowSize, '\0');
    block[0] = char(w.slot);
    block[1] = 1;
    block[2] = char(w.channel);
    block[3] = char(w.b3);
    block.replace(4, 16, QByteArray::fromHex(w.cells));
    const int values[] = {w.wall.x(),   w.wall.width(),   w.wall.y(),   w.wall.height(),
                          w.source.x(), w.source.width(), w.source.y(), w.source.height()};
    for (int v = 0; v < 8; ++v) {
        block[20 + 2 * v] = char(values[v] & 0xFF);
        block[21 + 2 * v] = char(values[v] >> 8);
    }
    return block;
}

QString lineOf(int count, const QList<int> &layers, const QList<WinData> &wins)
{
    QString line;
    QDebug(&line) << count << layers;
    for (const WinData &w : wins) {
        QDebug(&line) << w.winId << w.b2 << w.b3 << w.rectA << w.rectB;
        for (int cell : w.cells)
            line += QString::number(cell, 16);
    }
    return line;
}

} // namespace

std::array<Preset, DeviceModel::PresetCount> KnownDeviceCase::presetsWithWindows()
{
    std::array<Preset, DeviceModel::PresetCount> presets;
    for (const Window &w : Windows) {
        Preset &preset = presets[size_t(w.preset)];
        preset.setWindow(blockOf(w));
        preset.layers[w.slot] = char(w.slot + 1);
    }
    return presets;
}

QStringList KnownDeviceCase::presetLines(const std::array<Preset, DeviceModel::PresetCount> &presets)
{
    QStringList lines;
    for (const Preset &preset : presets) {
        QList<int> layers;
        for (char layer : preset.layers)
            layers << quint8(layer);
        QList<WinData> wins;
        for (int slot = 0; slot < Preset::SlotCount; ++slot) {
            if (preset.holdsWindow(slot))
                wins << WinData::fromBlock(preset.window(slot));
        }
        lines << lineOf(preset.windowCount(), layers, wins);
    }
    return lines;
}

QStringList KnownDeviceCase::presetLines(const DeviceData &data)
{
    QStringList lines;
    for (int p = 0; p < DeviceData::Presets; ++p) {
        const auto &layers = data.modelLayer[size_t(p)];
        lines << lineOf(data.modelWinCount[size_t(p)], QList<int>(layers.cbegin(), layers.cend()),
                        data.modelWins[size_t(p)]);
    }
    return lines;
}

QStringList KnownDeviceCase::entryLines(const DeviceModel &model)
{
    QStringList lines;
    for (const InputEntry &e : model.entries)
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(e.id).arg(e.present).arg(e.cardType)
                     .arg(e.mainSignal).arg(e.signalA).arg(e.signalB);
    return lines;
}

QStringList KnownDeviceCase::entryLines(const DeviceData &data)
{
    QStringList lines;
    for (const InCardEntry &e : data.inCards)
        lines << QStringLiteral("%1 %2 %3 %4 %5 %6").arg(e.cardId).arg(e.present).arg(e.cardType)
                     .arg(e.mainSignal).arg(e.sigFlagA).arg(e.sigFlagB);
    return lines;
}

// Known windows, wall, current preset and tag; the host holds no tag.
void KnownDeviceCase::init()
{
    LinkSimCase::init();
    DeviceModel &model = m_sim->model();
    model.presets = presetsWithWindows();
    model.wall.setGrid(WallWidths, WallHeights);
    model.wall.resolution = WallResolution;
    model.currentPreset = CurrentPreset;
    model.tag = QByteArray::fromHex("2122232425262728");
    m_link->postForgetTags();
}

// The synchronise action: both tags cleared, the connection read, then
// the signal flags. Windows read are appended to the record, which the main
// window empties after use.
void KnownDeviceCase::readAll()
{
    m_link->postForgetTags();
    for (QList<WinData> &wins : m_link->dm_data.modelWins)
        wins.clear();
    m_signals->clear();
    m_link->send(LinkRequest::connectionRead());
    QVERIFY(QTest::qWaitFor([this] { return m_signals->count(QStringLiteral("replaceWins")) > 0; }, 90000));
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)")));
    m_link->send(LinkRequest::readSignalFlags());
    QVERIFY(waitFor(QStringLiteral("setWaitPage(true)"), 2));
}

// The record holds what the device holds.
void KnownDeviceCase::compareRecord()
{
    const DeviceModel &model = m_sim->model();
    const DeviceData &data = m_link->dm_data;
    QCOMPARE(presetLines(data), presetLines(presetsWithWindows()));
    QCOMPARE(data.colWidths, WallWidths);
    QCOMPARE(data.rowHeights, WallHeights);
    QCOMPARE(QList<int>({data.outResolution, data.curModel}), QList<int>({WallResolution, CurrentPreset}));
    QCOMPARE(entryLines(data), entryLines(model));
    QCOMPARE(m_link->lastTag(), model.tag);
    QCOMPARE(workerTag(m_link), model.tag);
}
