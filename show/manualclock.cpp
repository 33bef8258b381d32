#include "manualclock.h"

#include <QPointer>

class ManualTimer : public ShowTimer
{
public:
    ManualTimer(ManualClock *clock, QObject *parent)
        : ShowTimer(parent)
        , m_clock(clock)
    {
        clock->m_timers << this;
    }
    ~ManualTimer() override
    {
        if (m_clock)
            m_clock->m_timers.removeOne(this);
    }

    void start(const QDateTime &due) override { m_due = due; }
    void stop() override { m_due = {}; }
    bool isActive() const override { return m_due.isValid(); }
    QDateTime due() const override { return m_due; }

private:
    QPointer<ManualClock> m_clock;
    QDateTime m_due;
};

ManualClock::ManualClock(const QDateTime &start, QObject *parent)
    : ShowClock(parent)
    , m_now(start.toUTC())
{
}

ShowTimer *ManualClock::createTimer(QObject *parent)
{
    return new ManualTimer(this, parent);
}

void ManualClock::advance(qint64 ms)
{
    const QDateTime limit = m_now.addMSecs(ms);
    fireDueBy(limit);
    m_now = limit;
}

void ManualClock::setTime(const QDateTime &time)
{
    m_now = time.toUTC();
    emit jumped();
    fireDueBy(m_now);
}

// One timer at a time, the earliest first: what it starts in its slot may
// be due before the others.
void ManualClock::fireDueBy(const QDateTime &limit)
{
    for (;;) {
        ShowTimer *next = nullptr;
        for (ManualTimer *timer : std::as_const(m_timers)) {
            if (timer->isActive() && timer->due() <= limit && (!next || timer->due() < next->due()))
                next = timer;
        }
        if (!next)
            return;
        m_now = std::max(m_now, next->due());
        const QPointer<ShowTimer> firing(next);
        next->stop();
        emit firing->timeout();
    }
}
