#include "takepreset.h"


TakePreset::TakePreset(PresetStore *store, int preset, const PresetStore::Held &mine,
                       const PresetStore::Held &devices, const Bilingual &text)
    : BilingualCommand(text, "Take the device's M%1", "采用设备的M%1", preset)
    , m_store(store)
    , m_preset(preset)
    , m_mine(mine)
    , m_devices(devices)
{
}

void TakePreset::undo()
{
    m_store->hold(m_preset, m_mine, PresetMarks::ChangedHere);
}

void TakePreset::redo()
{
    m_store->hold(m_preset, m_devices, PresetMarks::Confirmed);
}
