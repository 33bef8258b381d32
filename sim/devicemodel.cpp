#include "devicemodel.h"

#include "framebytes.h"

namespace {

// A window block: slot, channel, the cells it covers and its rectangles.
QByteArray windowBlock(int slot, int channel, quint32 cellMask, const QRect &wall, const QRect &source)
{
    QByteArray block(Preset::WindowSize, 0);
    block[0] = char(slot);
    block[1] = 1;
    block[2] = char(channel);
    for (int cell = 0; cell < Limits::WallCells; ++cell) {
        if (cellMask & (1u << cell))
            FrameBytes::orByte(block, 4 + cell / 2, cell % 2 ? 0x01 : 0x10);
    }
    const QRect rects[] = {wall, source};
    for (int r = 0; r < 2; ++r) {
        const int values[] = {rects[r].x(), rects[r].width(), rects[r].y(), rects[r].height()};
        for (int v = 0; v < 4; ++v)
            FrameBytes::setLe16(block, 20 + 8 * r + 2 * v, values[v]);
    }
    return block;
}

} // namespace

DeviceModel::DeviceModel()
{
    for (int k = 0; k < EntryCount; ++k)
        entries[size_t(k)].id = quint8(k);
    outputs.fill(NoCardVersion);
}

DeviceModel DeviceModel::defaultChassis()
{
    DeviceModel model;
    model.systemVersion = {3, 1, 4};

    // One-channel cards on each signal, present and absent.
    const quint8 signalOf[] = {0, 1, 2, 3};
    for (int slot = 0; slot < 4; ++slot) {
        InputEntry &entry = model.entries[size_t(slot)];
        entry.fit(InputEntry::OneChannel, {1, quint8(slot), 7});
        entry.mainSignal = signalOf[slot];
        entry.signalA = slot != 1;
    }
    // Two-channel cards of each kind in an even and an odd slot, with every
    // combination of signal flags.
    for (int slot = 4; slot < 10; ++slot) {
        InputEntry &entry = model.entries[size_t(slot)];
        entry.fit(quint8(InputEntry::TwoChannelHdmi + (slot - 4) / 2), {2, quint8(slot), 0});
        entry.signalA = slot % 4 != 1;
        entry.signalB = slot % 3 == 0;
    }
    // Slots 10 and 11 stay empty; slot 12 and the last slot hold more
    // one-channel cards so that the high bits of every field are used.
    model.entries[12].fit(InputEntry::OneChannel, {1, 2, 0});
    model.entries[12].signalA = true;
    model.entries[23].fit(InputEntry::OneChannel, {1, 3, 9});
    model.entries[23].mainSignal = 3;

    for (int k = 0; k < OutputCount; ++k)
        model.outputs[size_t(k)] = {2, quint8(k), 0xFF};

    Preset &first = model.presets[0];
    first.setWindow(windowBlock(0, 0, 0x3, QRect(0, 0, 3840, 1080), QRect(0, 0, 1920, 1080)));
    first.setWindow(windowBlock(5, 38, 0x4, QRect(0, 1080, 1920, 1080), QRect(0, 0, 1920, 1080)));
    first.layers[0] = 0; // window numbers from the bottom up
    first.layers[1] = 5;
    model.presets[1].setWindow(windowBlock(2, 100, 0xF, QRect(0, 0, 3840, 2160), QRect(0, 0, 1920, 1080)));
    model.presets[1].layers[0] = 2;
    return model;
}

int DeviceModel::entryOfChannel(int code)
{
    if (code < EntryCount)
        return code;
    if (code < 224)
        return ((code - 32) % 64) / 2;
    return -1;
}

void DeviceModel::clearPresets()
{
    currentPreset = 0;
    presets.fill(Preset());
}

void DeviceModel::restoreFactory()
{
    wall = WallLayout::factory();
    clearPresets();
    for (InputEntry &entry : entries) {
        if (entry.present)
            entry.applyFactoryDefaults();
    }
}
