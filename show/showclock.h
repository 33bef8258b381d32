#ifndef SHOWCLOCK_H
#define SHOWCLOCK_H

#include <QDateTime>
#include <QObject>

// A one-shot wake-up at an instant of a ShowClock.
class ShowTimer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Fires once, at due or as soon after it as the clock allows; a new
    // start replaces the one before.
    virtual void start(const QDateTime &due) = 0;
    virtual void stop() = 0;
    virtual bool isActive() const = 0;
    virtual QDateTime due() const = 0;

signals:
    void timeout();
};

// The time the show runs on: the system's, or one that a test drives.
// Everything that plays or fires at a time asks it, never the system, so
// that hours of a show and a year of daylight saving changes can be
// played in a test's second.
class ShowClock : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // In UTC.
    virtual QDateTime now() const = 0;
    // A timer of this clock, owned by parent.
    virtual ShowTimer *createTimer(QObject *parent) = 0;

signals:
    // The clock was set (not the time passing): whoever planned from
    // now() plans again. Timers already follow the new time.
    void jumped();
};

#endif // SHOWCLOCK_H
