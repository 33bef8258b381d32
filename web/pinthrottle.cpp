#include "pinthrottle.h"

#include <algorithm>

namespace {

bool expired(const QDeadlineTimer &timer)
{
    return timer.hasExpired();
}

} // namespace

int PinThrottle::waitFor(const QHostAddress &address)
{
    dropExpired();
    const auto it = m_refusals.constFind(address);
    if (it == m_refusals.cend())
        return m_refusals.size() >= MaxAddresses ? WindowSeconds : 0;
    if (it->size() < MaxTries)
        return 0;
    // Rounded up: a wait of 0.2 s is said as 1 s.
    return int(std::max<qint64>(1, (it->first().remainingTime() + 999) / 1000));
}

void PinThrottle::refused(const QHostAddress &address)
{
    m_refusals[address].append(QDeadlineTimer(qint64(WindowSeconds) * 1000));
}

void PinThrottle::dropExpired()
{
    for (auto it = m_refusals.begin(); it != m_refusals.end();) {
        it->erase(std::remove_if(it->begin(), it->end(), expired), it->end());
        it = it->isEmpty() ? m_refusals.erase(it) : std::next(it);
    }
}
