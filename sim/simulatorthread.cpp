#include "simulatorthread.h"

#include "devicesimulator.h"

SimulatorThread::SimulatorThread()
    : m_home(new QObject)
{
    m_thread.start();
    m_home->moveToThread(&m_thread);
    QMetaObject::invokeMethod(
        m_home,
        [this] {
            m_device = new DeviceSimulator;
            m_device->listenTcp();
            m_port = m_device->tcpPort();
        },
        Qt::BlockingQueuedConnection);
}

SimulatorThread::~SimulatorThread()
{
    QMetaObject::invokeMethod(
        m_home,
        [this] {
            delete m_device;
            m_home->deleteLater();
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void SimulatorThread::run(const std::function<void(DeviceSimulator &)> &work)
{
    QMetaObject::invokeMethod(m_home, [this, &work] { work(*m_device); }, Qt::BlockingQueuedConnection);
}
