#include "presetcheck.h"

#include "deviceblocks.h"
#include "wallfile.h"

#include <QDataStream>
#include <QMap>

#include <algorithm>

namespace {

WallGrid gridOf(const DeviceData &data)
{
    WallGrid grid;
    grid.setSizes(data.colWidths, data.rowHeights);
    return grid;
}

QList<int> numbersOf(const QList<WinData> &windows)
{
    QList<int> numbers;
    for (const WinData &w : windows)
        numbers << w.winId;
    return numbers;
}

// The first window of each number; the numbers of those after it in extras.
QMap<int, WinData> byNumber(const QList<WinData> &windows, QList<int> *extras)
{
    QMap<int, WinData> first;
    for (const WinData &w : windows) {
        if (first.contains(w.winId))
            *extras << w.winId;
        else
            first.insert(w.winId, w);
    }
    return first;
}

// The table's first entries, one a used window: what follows means nothing.
QList<int> stackOf(const PresetRead &read)
{
    const int used = std::min<int>(read.windows.size(), int(read.layers.size()));
    return QList<int>(read.layers.cbegin(), read.layers.cbegin() + used);
}

QList<int> sorted(QList<int> numbers)
{
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

// Qt 6.4's QList == hands memcmp the null data of an empty list.
bool same(const QList<int> &a, const QList<int> &b)
{
    return std::equal(a.cbegin(), a.cend(), b.cbegin(), b.cend());
}

QList<int> keepOnly(QList<int> stack, const QList<int> &others)
{
    stack.erase(std::remove_if(stack.begin(), stack.end(), [&others](int id) { return !others.contains(id); }),
                stack.end());
    return stack;
}

} // namespace

PresetCheck::PresetCheck(const DeviceData &host, const DeviceData &device)
{
    m_wallSame = host.colWidths == device.colWidths && host.rowHeights == device.rowHeights
        && host.outResolution == device.outResolution && host.outMode2 == device.outMode2;
    m_currentSame = host.curModel == device.curModel;
    for (int m = 0; m < Presets; ++m)
        m_presets[size_t(m)] = compare(hostBlocks(host, m), device.presetRead(m), devicePreset(device, m));
    for (size_t k = 0; k < DeviceData::InCardEntries; ++k) {
        const int parts = device.inCards[k].present ? partsOf(host.inCards[k], device.inCards[k]) : 0;
        if (parts != 0)
            m_entries.append({int(k), parts});
    }
}

WallModel PresetCheck::devicePreset(const DeviceData &data, int preset)
{
    WallModel model;
    model.setGrid(gridOf(data));
    const PresetRead read = data.presetRead(preset);
    QList<WallWindow> windows;
    for (const WinData &w : read.windows)
        windows << WallWindow::of(w.winId, w.b2, w.rectA, w.rectB, w.b3);
    model.rebuild(QVector<int>(read.layers.cbegin(), read.layers.cend()), windows);
    return model;
}

// A stored preset that cannot be read counts as empty: everything the
// device holds for it then shows as a difference.
WallModel PresetCheck::hostPreset(const DeviceData &host, int preset)
{
    WallModel model;
    model.setGrid(gridOf(host));
    const QByteArray &view = host.modelView[size_t(preset)];
    QDataStream in(view);
    if (!view.isEmpty())
        WallFile::read(in, &model);
    return model;
}

int PresetCheck::unshownWindows(const DeviceData &data, int preset)
{
    const WallModel shown = devicePreset(data, preset);
    QList<int> extras;
    const QMap<int, WinData> read = byNumber(data.presetRead(preset).windows, &extras);
    int unshown = int(extras.size());
    for (int id : read.keys())
        unshown += shown.contains(id) ? 0 : 1;
    return unshown;
}

PresetRead PresetCheck::hostBlocks(const DeviceData &host, int preset)
{
    if (const std::optional<PresetRead> &read = host.presetsAsRead[size_t(preset)])
        return *read;
    const WallModel model = hostPreset(host, preset);
    PresetRead blocks;
    blocks.layers.fill(BlockLayout::NoLayer);
    std::copy(model.layers().cbegin(), model.layers().cend(), blocks.layers.begin());
    for (int id = 0; id < WallModel::MaxWindows; ++id) {
        if (model.contains(id))
            blocks.windows << WinData::fromBlock(DeviceBlocks::windowBlock(model, id));
    }
    return blocks;
}

// shown: the device's preset as the canvas would show it.
PresetCheck::PresetDifference PresetCheck::compare(const PresetRead &host, const PresetRead &device,
                                                   const WallModel &shown)
{
    PresetDifference difference;
    QList<int> hostExtras, deviceExtras;
    const QMap<int, WinData> mine = byNumber(host.windows, &hostExtras);
    const QMap<int, WinData> theirs = byNumber(device.windows, &deviceExtras);
    const QList<int> numbers = sorted(mine.keys() + theirs.keys());
    for (int i = 0; i < numbers.size(); ++i) {
        const int id = numbers.at(i);
        if (i > 0 && numbers.at(i - 1) == id)
            continue;
        int kinds = 0;
        if (mine.contains(id) && theirs.contains(id))
            kinds = kindsOf(mine.value(id), theirs.value(id));
        else
            kinds = mine.contains(id) ? MissingOnDevice : OnlyOnDevice;
        if (kinds != 0 && theirs.contains(id) && !shown.contains(id))
            kinds |= NotShownHere;
        if (kinds != 0)
            difference.windows.append({id, kinds});
    }
    for (int id : std::as_const(deviceExtras)) {
        if (!hostExtras.removeOne(id))
            difference.windows.append({id, OnlyOnDevice | NotShownHere});
    }
    difference.restacked = restacked(host, device);
    return difference;
}

// With the same windows on both sides their tables must agree entry for
// entry; otherwise a window added or missing is no restacking of its own,
// but the order of the others and a table that misses a used window are.
bool PresetCheck::restacked(const PresetRead &host, const PresetRead &device)
{
    const QList<int> hostStack = stackOf(host);
    const QList<int> deviceStack = stackOf(device);
    const QList<int> hostIds = numbersOf(host.windows);
    const QList<int> deviceIds = numbersOf(device.windows);
    if (same(sorted(hostIds), sorted(deviceIds)))
        return !same(hostStack, deviceStack);
    return !same(sorted(hostStack), sorted(hostIds)) || !same(sorted(deviceStack), sorted(deviceIds))
        || !same(keepOnly(hostStack, deviceIds), keepOnly(deviceStack, hostIds));
}

int PresetCheck::kindsOf(const WinData &host, const WinData &device)
{
    int kinds = 0;
    if (host.rectA.topLeft() != device.rectA.topLeft())
        kinds |= Moved;
    if (host.rectA.size() != device.rectA.size())
        kinds |= Resized;
    if (host.b2 != device.b2)
        kinds |= InputChanged;
    if (host.rectB != device.rectB)
        kinds |= PictureChanged;
    if (host.cells != device.cells)
        kinds |= CellsChanged;
    if (host.b3 != device.b3)
        kinds |= OtherChanged;
    return kinds;
}

int PresetCheck::partsOf(const InCardEntry &host, const InCardEntry &device)
{
    int parts = 0;
    if (host.light != device.light || host.contrast != device.contrast || host.color != device.color)
        parts |= PictureSettings;
    if (host.mainSignal != device.mainSignal)
        parts |= MainSignal;
    if (host.auxSignal != device.auxSignal)
        parts |= SecondSignal;
    if (host.mode != device.mode)
        parts |= Mode;
    if (host.rectA != device.rectA)
        parts |= RectangleA;
    if (host.rectB != device.rectB)
        parts |= RectangleB;
    if (host.captionValues != device.captionValues)
        parts |= Captions;
    return parts;
}

int PresetCheck::samePresets() const
{
    return int(std::count_if(m_presets.cbegin(), m_presets.cend(),
                             [](const PresetDifference &p) { return p.same(); }));
}

QList<int> PresetCheck::differingPresets() const
{
    QList<int> presets;
    for (int m = 0; m < Presets; ++m) {
        if (!m_presets[size_t(m)].same())
            presets << m;
    }
    return presets;
}
