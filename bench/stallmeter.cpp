#include "stallmeter.h"

namespace {

constexpr int TickMs = 1;

} // namespace

StallMeter::StallMeter()
{
    connect(&m_timer, &QTimer::timeout, this, [this] { m_longest = qMax(m_longest, m_clock.restart()); });
    m_clock.start();
    m_timer.start(TickMs);
}

void StallMeter::restart()
{
    m_clock.start();
    m_longest = 0;
}
