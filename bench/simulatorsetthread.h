#ifndef SIMULATORSETTHREAD_H
#define SIMULATORSETTHREAD_H

#include <QThread>

#include <functional>

class SimulatorSet;

// The processors of a SimulatorSet in a thread of their own: they answer
// and pace their lines while the windows' thread is busy, as devices do.
class SimulatorSetThread
{
public:
    explicit SimulatorSetThread(int count);
    ~SimulatorSetThread();
    SimulatorSetThread(const SimulatorSetThread &) = delete;
    SimulatorSetThread &operator=(const SimulatorSetThread &) = delete;

    // Runs the work on the set in its thread and waits for it.
    void run(const std::function<void(SimulatorSet &)> &work);

private:
    QThread m_thread;
    QObject *m_home;
    SimulatorSet *m_set = nullptr;
};

#endif // SIMULATORSETTHREAD_H
