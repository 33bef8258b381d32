#ifndef STARTUPPROBE_H
#define STARTUPPROBE_H

#include "processstatus.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>

// Watches a window for its first paint, then prints the monotonic clock in
// nanoseconds and the peak resident memory (VmHWM, kB) on one line and
// ends the event loop. The starting process reads the same clock before it
// starts the program, so the difference is the time from process start to
// the window shown.
class StartupProbe : public QObject
{
public:
    explicit StartupProbe(QWidget *window)
        : QObject(window)
    {
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_done) {
            m_done = true;
            timespec now{};
            clock_gettime(CLOCK_MONOTONIC, &now);
            std::printf("%lld %lld\n", static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec,
                        static_cast<long long>(ProcessStatus::kilobytes("VmHWM")));
            std::fflush(stdout);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return false;
    }

private:
    bool m_done = false;
};

#endif // STARTUPPROBE_H
