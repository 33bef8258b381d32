#ifndef BLOCKLAYOUT_H
#define BLOCKLAYOUT_H

// The byte blocks of a preset as the device stores, reads and writes them
// (docs/protocol.md). Slot k of a table holds window number k.
namespace BlockLayout {

constexpr int Slots = 64;          // windows of a preset
constexpr int SlotSize = 28;       // a window's slot in the window table
constexpr int SourceSize = 8;      // a window's source rectangle
constexpr int WindowSize = SlotSize + SourceSize; // a window block as read
constexpr int LayerSize = Slots;   // window numbers bottom to top, NoLayer after
constexpr int WindowsSize = Slots * SlotSize;              // 1792
constexpr int AllDataSize = WindowsSize + LayerSize;       // 1856
constexpr int InDataSize = Slots * SourceSize;             // 512
constexpr int ChDataSize = 1472;   // the channel data: a count, then trimmed sections
constexpr int SectionSize = 18;
constexpr unsigned char NoLayer = 0xFF;
constexpr int Cells = 32;          // screens a wall holds

} // namespace BlockLayout

#endif // BLOCKLAYOUT_H
