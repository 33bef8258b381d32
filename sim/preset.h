#ifndef PRESET_H
#define PRESET_H

#include <devicelimits.h>

#include <QByteArray>

// One of the 16 presets as the device stores it: 64 window slots of 28
// bytes (slot k holds window number k), 64 layer bytes, 64 source blocks of
// 8 bytes and the opaque channel data.
struct Preset
{
    static constexpr int SlotCount = Limits::Windows;
    static constexpr int SlotSize = 28;
    static constexpr int SourceSize = 8;
    static constexpr int WindowSize = SlotSize + SourceSize;
    static constexpr int WindowsSize = SlotCount * SlotSize;  // 1792
    static constexpr int LayersSize = SlotCount;              // 64
    static constexpr int SourcesSize = SlotCount * SourceSize; // 512
    static constexpr int ChannelDataSize = 1472;
    static constexpr char NoLayer = char(0xFF); // after the last window of the layer table

    QByteArray windows = QByteArray(WindowsSize, 0);
    QByteArray layers = QByteArray(LayersSize, NoLayer);
    QByteArray sources = QByteArray(SourcesSize, 0);
    QByteArray channels = QByteArray(ChannelDataSize, 0);

    void clearWindows();
    // Stores a 36-byte window block in the slot its byte 0 names.
    bool setWindow(const QByteArray &block);
    // Empties slot k (no window, no source block).
    void clearWindow(int slot);
    // The 36-byte block of slot k: its 28 bytes, then its 8 source bytes.
    QByteArray window(int slot) const;
    bool holdsWindow(int slot) const;
    int windowCount() const;
};

#endif // PRESET_H
