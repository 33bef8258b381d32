#ifndef PRESETCHECK_H
#define PRESETCHECK_H

#include "wallmodel.h"

#include <devicedata.h>

#include <QList>

#include <array>

// What differs between the data the host holds and what a verify read
// found on the device: the wall, the current preset, the input entries
// and, preset by preset, every field of the used windows' blocks and their
// stacking as the layer table gives it. The host's side of a preset is what
// it read from the device while the preset has not changed here since, else
// the blocks it would send. Trims cannot be read back and are not compared.
class PresetCheck
{
public:
    static constexpr int Presets = DeviceData::Presets;

    // Ways a window can differ; a window may differ in several.
    enum Kind {
        Moved = 1,
        Resized = 2,
        InputChanged = 4,   // another channel
        PictureChanged = 8, // another part of the input picture
        MissingOnDevice = 16,
        OnlyOnDevice = 32,
        CellsChanged = 64,  // its places among the windows of its screens
        OtherChanged = 128, // the block's byte 3
        NotShownHere = 256, // the device's window is one the canvas refuses
    };

    struct WindowDifference
    {
        int window;
        int kinds; // Kind flags
    };

    struct PresetDifference
    {
        QList<WindowDifference> windows;
        bool restacked = false; // the layer tables stack the windows otherwise
        bool same() const { return windows.isEmpty() && !restacked; }
    };

    // Parts of an input entry that can differ.
    enum EntryPart {
        PictureSettings = 1, // light, contrast, colour
        MainSignal = 2,
        SecondSignal = 4,
        Mode = 8,
        RectangleA = 16,
        RectangleB = 32,
        Captions = 64,
    };

    struct EntryDifference
    {
        int entry;
        int parts; // EntryPart flags
    };

    PresetCheck(const DeviceData &host, const DeviceData &device);

    // The preset rebuilt as the canvas would from the record's device
    // windows, on the record's wall.
    static WallModel devicePreset(const DeviceData &data, int preset);
    // The record's device windows of the preset the canvas cannot show
    // (off the wall after it was rebuilt, a number twice).
    static int unshownWindows(const DeviceData &data, int preset);

    const PresetDifference &preset(int m) const { return m_presets[size_t(m)]; }
    bool wallSame() const { return m_wallSame; }
    bool currentSame() const { return m_currentSame; }
    // The entries with a card fitted on the device that differ.
    const QList<EntryDifference> &entries() const { return m_entries; }
    int samePresets() const;
    QList<int> differingPresets() const;

private:
    static WallModel hostPreset(const DeviceData &host, int preset);
    static PresetRead hostBlocks(const DeviceData &host, int preset);
    static PresetDifference compare(const PresetRead &host, const PresetRead &device, const WallModel &shown);
    static bool restacked(const PresetRead &host, const PresetRead &device);
    static int kindsOf(const WinData &host, const WinData &device);
    static int partsOf(const InCardEntry &host, const InCardEntry &device);

    std::array<PresetDifference, Presets> m_presets;
    QList<EntryDifference> m_entries;
    bool m_wallSame = false;
    bool m_currentSame = false;
};

#endif // PRESETCHECK_H
