#ifndef TAKEPRESET_H
#define TAKEPRESET_H

#include "presetstore.h"

#include <bilingualcommand.h>

// The device's copy of one preset taken as the host's, a step of that
// preset's undo history: undone, the host's own preset comes back, marked
// changed here. Neither way sends anything.
class TakePreset : public BilingualCommand
{
public:
    TakePreset(PresetStore *store, int preset, const PresetStore::Held &mine, const PresetStore::Held &devices,
               const Bilingual &text);

    void undo() override;
    void redo() override;

private:
    PresetStore *m_store;
    int m_preset;
    PresetStore::Held m_mine;
    PresetStore::Held m_devices;
};

#endif // TAKEPRESET_H
