#include "preset.h"

void Preset::clearWindows()
{
    windows.fill(0);
    layers.fill(NoLayer);
    sources.fill(0);
}

bool Preset::setWindow(const QByteArray &block)
{
    if (block.size() != WindowSize || quint8(block.at(0)) >= SlotCount)
        return false;
    const int slot = quint8(block.at(0));
    windows.replace(slot * SlotSize, SlotSize, block.left(SlotSize));
    sources.replace(slot * SourceSize, SourceSize, block.mid(SlotSize));
    return true;
}

void Preset::clearWindow(int slot)
{
    if (slot < 0 || slot >= SlotCount)
        return;
    windows.replace(slot * SlotSize, SlotSize, QByteArray(SlotSize, 0));
    sources.replace(slot * SourceSize, SourceSize, QByteArray(SourceSize, 0));
}

QByteArray Preset::window(int slot) const
{
    return windows.mid(slot * SlotSize, SlotSize) + sources.mid(slot * SourceSize, SourceSize);
}

bool Preset::holdsWindow(int slot) const
{
    return windows.at(slot * SlotSize + 1) != 0;
}

int Preset::windowCount() const
{
    int count = 0;
    for (int slot = 0; slot < SlotCount; ++slot)
        count += holdsWindow(slot) ? 1 : 0;
    return count;
}
