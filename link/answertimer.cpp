#include "answertimer.h"

#include <algorithm>
#include <cmath>

namespace {

// Before anything is measured, as TCP's initial retransmission time-out.
constexpr int InitialAllowanceMs = 1000;
// The allowance never hugs the smoothed time: a device that answers with
// little variation still gets a quarter of its answer time, and 50 ms, to
// spare.
constexpr double MinMarginMs = 50;
constexpr double MarginShare = 0.25;
constexpr int MaxBackOff = 64;

} // namespace

void AnswerTimer::reset()
{
    *this = AnswerTimer();
}

void AnswerTimer::measured(int ms)
{
    const double sample = std::max(0, ms);
    if (m_smoothed < 0) {
        m_smoothed = sample;
        m_variation = sample / 2;
    } else {
        m_variation = 0.75 * m_variation + 0.25 * std::abs(m_smoothed - sample);
        m_smoothed = 0.875 * m_smoothed + 0.125 * sample;
    }
    m_backOff = 1;
}

void AnswerTimer::missed()
{
    m_backOff = std::min(MaxBackOff, 2 * m_backOff);
}

int AnswerTimer::allowanceMs() const
{
    const double base = m_smoothed < 0
        ? InitialAllowanceMs
        : m_smoothed + std::max(4 * m_variation, MinMarginMs + MarginShare * m_smoothed);
    return int(std::ceil(base)) * m_backOff;
}
