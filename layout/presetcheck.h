#ifndef PRESETCHECK_H
#define PRESETCHECK_H

#include "wallmodel.h"

#include <devicedata.h>

#include <QList>

#include <array>

// What differs between the data the host holds and what a verify read
// found on the device: the wall, the current preset and, preset by preset,
// the windows (as the canvas rebuilds the device's windows) and their
// stacking.
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
    };

    struct WindowDifference
    {
        int window;
        int kinds; // Kind flags
    };

    struct PresetDifference
    {
        QList<WindowDifference> windows;
        bool restacked = false; // the windows both hold lie in another order
        bool same() const { return windows.isEmpty() && !restacked; }
    };

    PresetCheck(const DeviceData &host, const DeviceData &device);

    // The preset rebuilt as the canvas would from the record's device
    // windows, on the record's wall.
    static WallModel devicePreset(const DeviceData &data, int preset);

    const PresetDifference &preset(int m) const { return m_presets[size_t(m)]; }
    bool wallSame() const { return m_wallSame; }
    bool currentSame() const { return m_currentSame; }
    int samePresets() const;
    QList<int> differingPresets() const;

private:
    static WallModel hostPreset(const DeviceData &host, int preset);
    static PresetDifference compare(const WallModel &host, const WallModel &device);
    static int kindsOf(const WallWindow &host, const WallWindow &device);

    std::array<PresetDifference, Presets> m_presets;
    bool m_wallSame = false;
    bool m_currentSame = false;
};

#endif // PRESETCHECK_H
