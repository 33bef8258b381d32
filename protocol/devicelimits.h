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

} // namespace Limits

#endif // DEVICELIMITS_H
