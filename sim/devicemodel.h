#ifndef DEVICEMODEL_H
#define DEVICEMODEL_H

#include "cardversion.h"
#include "inputentry.h"
#include "networksettings.h"
#include "preset.h"
#include "walllayout.h"

#include <devicelimits.h>

#include <QByteArray>

#include <array>

// Everything the simulated processor knows: the chassis (input entries,
// output cards, system board), its network settings, the LED wall, the
// presets, the current preset and the data tag of the last write.
// A default-constructed model is an empty chassis in factory state;
// defaultChassis() fills the slots with a mix that exercises every reply.
class DeviceModel
{
public:
    static constexpr int EntryCount = Limits::InputEntries;
    static constexpr int SlotCount = Limits::InputSlots;
    static constexpr int OutputCount = Limits::OutputSlots;
    static constexpr int PresetCount = Limits::Presets;
    static constexpr int TagSize = 8;

    CardVersion systemVersion{1, 0, 0};
    std::array<InputEntry, EntryCount> entries;
    std::array<CardVersion, OutputCount> outputs;
    NetworkSettings network;
    WallLayout wall = WallLayout::factory();
    std::array<Preset, PresetCount> presets;
    int currentPreset = 0;
    QByteArray tag = QByteArray(TagSize, 0);

    DeviceModel();

    static DeviceModel defaultChassis();

    // The entry a channel code names (two channels of a card share one), or -1.
    static int entryOfChannel(int code);

    // Every preset empty, the first one current: what a new wall does.
    void clearPresets();
    // What "restore factory data" does: wall, presets and picture settings.
    void restoreFactory();
};

#endif // DEVICEMODEL_H
