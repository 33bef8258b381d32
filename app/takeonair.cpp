#include "takeonair.h"

#include "offairactions.h"

#include <utility>

TakeOnAir::TakeOnAir(OffAirActions *actions, int taken, int before, const Bilingual &text)
    : BilingualCommand(text, "Take M%1", "切换到M%1", taken)
    , m_actions(actions)
    , m_taken(taken)
    , m_before(before)
{
}

void TakeOnAir::undo()
{
    m_actions->recallBefore(m_before);
}

void TakeOnAir::redo()
{
    if (!std::exchange(m_done, false))
        m_actions->takeAgain(m_taken, m_before);
}
