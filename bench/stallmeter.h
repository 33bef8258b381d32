#ifndef STALLMETER_H
#define STALLMETER_H

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// The longest gap between ticks of a 1 ms timer in the thread that made
// it: how long its event loop stood still.
class StallMeter : public QObject
{
public:
    StallMeter();

    void restart();
    qint64 longest() const { return m_longest; }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

#endif // STALLMETER_H
