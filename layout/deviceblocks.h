#ifndef DEVICEBLOCKS_H
#define DEVICEBLOCKS_H

#include <blocklayout.h>

#include <QByteArray>

class WallModel;

// The device's byte blocks of a preset (layouts in docs/protocol.md). Slot
// k of a table holds window number k; 16-bit values go low byte first.
class DeviceBlocks
{
public:
    static constexpr int WindowSize = BlockLayout::WindowSize;
    static constexpr int SlotSize = BlockLayout::SlotSize;
    static constexpr int SourceSize = BlockLayout::SourceSize;
    static constexpr int LayerSize = BlockLayout::LayerSize;
    static constexpr int AllDataSize = BlockLayout::AllDataSize;
    static constexpr int InDataSize = BlockLayout::InDataSize;
    static constexpr int ChDataSize = BlockLayout::ChDataSize;
    static constexpr int SectionSize = BlockLayout::SectionSize;
    static constexpr quint8 NoLayer = BlockLayout::NoLayer;

    static QByteArray windowBlock(const WallModel &model, int id); // byte 1 = 0 for a free slot
    static QByteArray layerBytes(const WallModel &model);
    static QByteArray allData(const WallModel &model);
    static QByteArray inData(const WallModel &model);
    static QByteArray chData(const WallModel &model);
    // One changed window: its block, the layer bytes, then its sections.
    static QByteArray windowMessage(const WallModel &model, int id);
};

#endif // DEVICEBLOCKS_H
