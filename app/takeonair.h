#ifndef TAKEONAIR_H
#define TAKEONAIR_H

#include <bilingualcommand.h>

class OffAirActions;

// A take, a step of the taken preset's undo history: undone, the preset
// that was on air before is recalled; redone, the preset is written and
// recalled again. It was carried out when it was made, so the first redo
// does nothing.
class TakeOnAir : public BilingualCommand
{
public:
    static constexpr int Id = 2;

    TakeOnAir(OffAirActions *actions, int taken, int before, const Bilingual &text);

    int id() const override { return Id; }
    void undo() override;
    void redo() override;

private:
    OffAirActions *m_actions;
    int m_taken;
    int m_before;
    bool m_done = true;
};

#endif // TAKEONAIR_H
