#include "systemclock.h"

#include "showlog.h"

#include <algorithm>

namespace {

constexpr qint64 StepMs = 60000;
constexpr int WatchMs = 5000;

class SystemTimer : public ShowTimer
{
public:
    SystemTimer(ShowClock *clock, QObject *parent)
        : ShowTimer(parent)
        , m_clock(clock)
    {
        m_timer.setSingleShot(true);
        m_timer.setTimerType(Qt::PreciseTimer);
        connect(&m_timer, &QTimer::timeout, this, &SystemTimer::wake);
        connect(clock, &ShowClock::jumped, this, [this] {
            if (isActive())
                wake();
        });
    }

    void start(const QDateTime &due) override
    {
        m_due = due;
        arm();
    }
    void stop() override
    {
        m_due = {};
        m_timer.stop();
    }
    bool isActive() const override { return m_due.isValid(); }
    QDateTime due() const override { return m_due; }

private:
    void arm() { m_timer.start(int(std::clamp<qint64>(m_clock->now().msecsTo(m_due), 0, StepMs))); }

    void wake()
    {
        if (m_clock->now() < m_due) {
            arm();
            return;
        }
        stop();
        emit timeout();
    }

    ShowClock *m_clock;
    QTimer m_timer;
    QDateTime m_due;
};

} // namespace

SystemClock::SystemClock(QObject *parent)
    : ShowClock(parent)
{
    m_elapsed.start();
    m_lastWall = now();
    connect(&m_watch, &QTimer::timeout, this, &SystemClock::check);
    m_watch.start(WatchMs);
}

QDateTime SystemClock::now() const
{
    return QDateTime::currentDateTimeUtc();
}

ShowTimer *SystemClock::createTimer(QObject *parent)
{
    return new SystemTimer(this, parent);
}

void SystemClock::check()
{
    const QDateTime wall = now();
    const qint64 elapsed = m_elapsed.elapsed();
    const qint64 drift = m_lastWall.msecsTo(wall) - (elapsed - m_lastElapsed);
    m_lastWall = wall;
    m_lastElapsed = elapsed;
    if (qAbs(drift) < JumpMs)
        return;
    qCInfo(lcShow) << "the system clock was set by" << drift << "ms";
    emit jumped();
}
