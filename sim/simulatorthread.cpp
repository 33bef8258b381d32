#include "simulatorthread.h"

#include "devicesimulator.h"

#include <handover.h>

SimulatorThread::SimulatorThread()
    : m_home(new Handover)
{
    m_home->moveToThread(&m_thread);
    Handover::start(&m_thread);
    m_home->await([this] {
        m_end.watchCurrentThread();
        m_device = new DeviceSimulator;
        m_device->listenTcp();
        m_port = m_device->tcpPort();
    });
}

// The thread ends its own loop; its end is waited for to its last step.
SimulatorThread::~SimulatorThread()
{
    m_home->await([this] {
        delete m_device;
        m_home->deleteLater();
        QThread::currentThread()->quit();
    });
    m_end.wait();
}

void SimulatorThread::run(const std::function<void(DeviceSimulator &)> &work)
{
    m_home->await([this, &work] { work(*m_device); });
}
