#include "simulatorsetthread.h"

#include <simulatorset.h>

SimulatorSetThread::SimulatorSetThread(int count)
    : m_home(new QObject)
{
    m_thread.start();
    m_home->moveToThread(&m_thread);
    QMetaObject::invokeMethod(m_home, [this, count] { m_set = new SimulatorSet(count); },
                              Qt::BlockingQueuedConnection);
}

SimulatorSetThread::~SimulatorSetThread()
{
    QMetaObject::invokeMethod(
        m_home,
        [this] {
            delete m_set;
            m_home->deleteLater();
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void SimulatorSetThread::run(const std::function<void(SimulatorSet &)> &work)
{
    QMetaObject::invokeMethod(m_home, [this, &work] { work(*m_set); }, Qt::BlockingQueuedConnection);
}
