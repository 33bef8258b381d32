#ifndef MANUALCLOCK_H
#define MANUALCLOCK_H

#include "showclock.h"

#include <QList>

class ManualTimer;

// A clock that moves only when told: time passes by advance(), firing each
// timer at its own instant in order; setTime() sets the clock as a person
// or a time server would. For tests and benches.
class ManualClock : public ShowClock
{
    Q_OBJECT

public:
    explicit ManualClock(const QDateTime &start, QObject *parent = nullptr);

    QDateTime now() const override { return m_now; }
    ShowTimer *createTimer(QObject *parent) override;

    // ms pass; every timer due meanwhile fires, with now() at its due.
    void advance(qint64 ms);
    // The clock is set to time: jumped() is emitted, then what is due by
    // then fires.
    void setTime(const QDateTime &time);

private:
    friend class ManualTimer;
    void fireDueBy(const QDateTime &limit);

    QDateTime m_now;
    QList<ManualTimer *> m_timers;
};

#endif // MANUALCLOCK_H
