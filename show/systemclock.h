#ifndef SYSTEMCLOCK_H
#define SYSTEMCLOCK_H

#include "showclock.h"

#include <QElapsedTimer>
#include <QTimer>

// The system's clock. Its timers wait in steps of at most a minute and
// look at the time again at each, so that a clock set while they wait
// moves them too; a setting is noticed by comparing the wall clock with
// the monotonic one.
class SystemClock : public ShowClock
{
    Q_OBJECT

public:
    explicit SystemClock(QObject *parent = nullptr);

    QDateTime now() const override;
    ShowTimer *createTimer(QObject *parent) override;

    // A wall clock that moved this much more or less than the time that
    // passed was set.
    static constexpr qint64 JumpMs = 2000;

private:
    void check();

    QTimer m_watch;
    QElapsedTimer m_elapsed;
    QDateTime m_lastWall;
    qint64 m_lastElapsed = 0;
};

#endif // SYSTEMCLOCK_H
