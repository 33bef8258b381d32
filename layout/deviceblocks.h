#ifndef DEVICEBLOCKS_H
#define DEVICEBLOCKS_H

#include <QByteArray>

class WallModel;

// The device's byte blocks of a preset (layouts in docs/protocol.md). Slot
// k of a table holds window number k; 16-bit values go low byte first.
class DeviceBlocks
{
public:
    static constexpr int WindowSize = 36;     // 28 bytes of the slot, 8 of its source block
    static constexpr int SlotSize = 28;
    static constexpr int SourceSize = 8;
    static constexpr int LayerSize = 64;
    static constexpr int AllDataSize = 1856;  // 64 slots, then the layer bytes
    static constexpr int InDataSize = 512;    // 64 source blocks
    static constexpr int ChDataSize = 1472;   // the trimmed sections
    static constexpr int SectionSize = 18;
    static constexpr quint8 NoLayer = 0xFF;

    static QByteArray windowBlock(const WallModel &model, int id); // byte 1 = 0 for a free slot
    static QByteArray layerBytes(const WallModel &model);
    static QByteArray allData(const WallModel &model);
    static QByteArray inData(const WallModel &model);
    static QByteArray chData(const WallModel &model);
    // One changed window: its block, the layer bytes, then its sections.
    static QByteArray windowMessage(const WallModel &model, int id);
};

#endif // DEVICEBLOCKS_H
