#include "threadend.h"

#include <QtGlobal>

struct ThreadEnd::Watch
{
    ThreadEnd *end = nullptr;
    ~Watch()
    {
        if (end)
            end->signal();
    }
};

void ThreadEnd::watchCurrentThread()
{
    thread_local Watch watch;
    Q_ASSERT(!watch.end);
    watch.end = this;
}

// Notified under the lock: the waiter may destroy this as soon as it has it.
void ThreadEnd::signal()
{
    const std::lock_guard lock(m_mutex);
    m_hasEnded = true;
    m_ended.notify_all();
}

void ThreadEnd::wait()
{
    std::unique_lock lock(m_mutex);
    m_ended.wait(lock, [this] { return m_hasEnded; });
}
