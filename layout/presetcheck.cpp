#include "presetcheck.h"

#include "wallfile.h"

#include <QDataStream>

namespace {

WallGrid gridOf(const DeviceData &data)
{
    WallGrid grid;
    grid.setSizes(data.colWidths, data.rowHeights);
    return grid;
}

QList<int> keepOnly(QList<int> ids, const WallModel &other)
{
    ids.erase(std::remove_if(ids.begin(), ids.end(), [&other](int id) { return !other.contains(id); }),
              ids.end());
    return ids;
}

} // namespace

PresetCheck::PresetCheck(const DeviceData &host, const DeviceData &device)
{
    m_wallSame = host.colWidths == device.colWidths && host.rowHeights == device.rowHeights
        && host.outResolution == device.outResolution && host.outMode2 == device.outMode2;
    m_currentSame = host.curModel == device.curModel;
    for (int m = 0; m < Presets; ++m)
        m_presets[size_t(m)] = compare(hostPreset(host, m), devicePreset(device, m));
}

WallModel PresetCheck::devicePreset(const DeviceData &data, int preset)
{
    WallModel model;
    model.setGrid(gridOf(data));
    const std::array<int, DeviceData::LayerSlots> &layers = data.modelLayer[size_t(preset)];
    QList<WallWindow> windows;
    for (const WinData &w : data.modelWins[size_t(preset)])
        windows << WallWindow::of(w.winId, w.b2, w.rectA, w.rectB, w.b3);
    model.rebuild(QVector<int>(layers.cbegin(), layers.cend()), windows);
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

PresetCheck::PresetDifference PresetCheck::compare(const WallModel &host, const WallModel &device)
{
    PresetDifference difference;
    for (int id = 0; id < WallModel::MaxWindows; ++id) {
        int kinds = 0;
        if (host.contains(id) && device.contains(id))
            kinds = kindsOf(host.window(id), device.window(id));
        else if (host.contains(id))
            kinds = MissingOnDevice;
        else if (device.contains(id))
            kinds = OnlyOnDevice;
        if (kinds != 0)
            difference.windows.append({id, kinds});
    }
    difference.restacked = keepOnly(host.layers(), device) != keepOnly(device.layers(), host);
    return difference;
}

int PresetCheck::kindsOf(const WallWindow &host, const WallWindow &device)
{
    int kinds = 0;
    if (host.rect.topLeft() != device.rect.topLeft())
        kinds |= Moved;
    if (host.rect.size() != device.rect.size())
        kinds |= Resized;
    if (host.channel != device.channel)
        kinds |= InputChanged;
    if (host.source != device.source)
        kinds |= PictureChanged;
    return kinds;
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
