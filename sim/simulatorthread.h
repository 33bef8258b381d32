#ifndef SIMULATORTHREAD_H
#define SIMULATORTHREAD_H

#include <threadend.h>

#include <QThread>

#include <functional>

class DeviceSimulator;
class Handover;

// A simulator on TCP loopback in a thread of its own: it answers while the
// thread that made it is busy, as a real device does.
class SimulatorThread
{
public:
    SimulatorThread();
    ~SimulatorThread();
    SimulatorThread(const SimulatorThread &) = delete;
    SimulatorThread &operator=(const SimulatorThread &) = delete;

    quint16 port() const { return m_port; }
    // Runs the work on the simulator in its thread and waits for it.
    void run(const std::function<void(DeviceSimulator &)> &work);

private:
    QThread m_thread;
    ThreadEnd m_end;
    Handover *m_home; // lives in the thread: what is run there is posted to it
    DeviceSimulator *m_device = nullptr;
    quint16 m_port = 0;
};

#endif // SIMULATORTHREAD_H
