#ifndef DEVICELIMITS_H
#define DEVICELIMITS_H

#include "blocklayout.h"

// What the processor holds, for every side that checks or fills it: the
// link, the dialogs, the remote control's decoders and the simulator.
namespace Limits {

constexpr int Presets = 16;
constexpr int Windows = BlockLayout::Slots; // windows of a preset
constexpr int InputEntries = 32;
constexpr int LastInputCode = 223;           // input codes run from 0
constexpr int OneChannelCodes = 32;          // codes below are one-channel cards
constexpr int PictureWidth = 1920;           // an input picture
constexpr int PictureHeight = 1080;
constexpr int TrimMarginX = 64;              // a trim may take this much beyond the picture
constexpr int TrimMarginY = 16;
constexpr int InputSlots = 24;               // input entries that carry a card type and version
constexpr int OutputSlots = 12;              // output cards
constexpr int WallCells = BlockLayout::Cells; // screens of a wall
constexpr int WallSide = 16;                 // rows and columns each

} // namespace Limits

#endif // DEVICELIMITS_H
