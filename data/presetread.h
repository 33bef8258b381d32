#ifndef PRESETREAD_H
#define PRESETREAD_H

#include "windata.h"

#include <blocklayout.h>

#include <QList>

#include <array>

// One preset as a read from the device found it: the blocks of its used
// windows and its layer table, byte for byte.
struct PresetRead
{
    QList<WinData> windows;
    std::array<int, BlockLayout::LayerSize> layers{};
};

#endif // PRESETREAD_H
