#ifndef REPLYLAYOUT_H
#define REPLYLAYOUT_H

#include "blocklayout.h"
#include "devicelimits.h"
#include "protocol.h"

// The bytes the host reads of the replies to its reads, counted from byte 0
// of a reply (docs/protocol.md). A reply must hold them and the trailer;
// devices differ in what else they send, so a reply may be longer (spare
// bytes before the trailer) but never shorter.
namespace ReplyLayout {

// 0x19 status
constexpr int PresenceLastByte = 12; // entries 0-7; entries 24-31 in byte 9
constexpr int CardTypeLastByte = 20; // slots 0-3; slots 20-23 in byte 15
constexpr int ResolutionOffset = 23;
constexpr int OutputModeOffset = 24;
constexpr int WallRowsOffset = 25;   // columns in the byte after
constexpr int WallWidthOffset = 33;  // cell c of the first row: 33 + 8c
constexpr int WallHeightOffset = 37; // first cell of row r: 37 + 8 columns r
constexpr int WallCellSize = 8;
constexpr int CurrentPresetOffset = 287;
constexpr int StatusTagOffset = 352;
constexpr int StatusRead = StatusTagOffset + Protocol::TagSize;

// 0x14 network settings: address, mask, gateway, the MAC's last three
// bytes, the port's low byte
constexpr int AddressOffset = 9;
constexpr int MaskOffset = 13;
constexpr int GatewayOffset = 17;
constexpr int MacTailOffset = 24;
constexpr int MacTailSize = 3;
constexpr int PortOffset = 27;
constexpr int NetworkRead = PortOffset + 1;

// 0x1A preset windows, 0x1B their source blocks
constexpr int WindowsOffset = Protocol::ParamOffset;
constexpr int LayersOffset = WindowsOffset + BlockLayout::WindowsSize;
constexpr int PresetWindowsRead = LayersOffset + BlockLayout::LayerSize;
constexpr int SourcesOffset = Protocol::ParamOffset;
constexpr int PresetSourcesRead = SourcesOffset + BlockLayout::InDataSize;

// 0x13 versions: system board at 9, input slot k at 12 + 3k, output slot
// k at 108 + 2k
constexpr int SystemVersionOffset = Protocol::ParamOffset;
constexpr int InVersionOffset = 12;
constexpr int OutVersionOffset = 108;
constexpr int VersionsRead = OutVersionOffset + 2 * Limits::OutputSlots;

// 0x11 input card entries: entry k's chunk at 9 + 28k
constexpr int InCardChunkSize = 28;
constexpr int InCardsRead = Protocol::ParamOffset + InCardChunkSize * Limits::InputEntries;

// 0x1C signal flags: entries 0-3 in byte 16, entries 28-31 in byte 9
constexpr int SignalFlagsLastByte = 16;
constexpr int SignalFlagsRead = SignalFlagsLastByte + 1;

// The bytes the host reads of the reply to a read of code, up to the
// highest offset it reads; 0 when the device answers code with an
// acknowledgement.
constexpr int bytesRead(quint8 code)
{
    switch (code) {
    case Protocol::ReadInputCards:
        return InCardsRead;
    case Protocol::ReadVersions:
        return VersionsRead;
    case Protocol::ReadNetwork:
        return NetworkRead;
    case Protocol::ReadStatus:
        return StatusRead;
    case Protocol::ReadPresetWindows:
        return PresetWindowsRead;
    case Protocol::ReadPresetBlocks:
        return PresetSourcesRead;
    case Protocol::ReadSignalFlags:
        return SignalFlagsRead;
    default:
        return 0;
    }
}

// The shortest reply that answers a read of code; 0 for a code that is not
// a read.
constexpr int shortestReply(quint8 code)
{
    const int read = bytesRead(code);
    return read > 0 ? read + Protocol::TrailerSize : 0;
}

// The longest of the shortest replies: the first half of a preset read.
constexpr int LongestRead = shortestReply(Protocol::ReadPresetWindows);

} // namespace ReplyLayout

#endif // REPLYLAYOUT_H
