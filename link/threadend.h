#ifndef THREADEND_H
#define THREADEND_H

#include <condition_variable>
#include <mutex>

// Waits for a thread to have ended, Qt's own last steps in it included.
// QThread::wait() may return before the thread is done with the QThread's
// wait condition, ordered by a lock ThreadSanitizer cannot see in a Qt not
// built for it. The thread's thread_local objects go after all of that, and
// one of them tells of it here through a lock the sanitizer does see.
class ThreadEnd
{
public:
    // In the thread to wait for, once.
    void watchCurrentThread();
    // In another thread: returns when the watched thread has ended.
    void wait();

private:
    struct Watch;
    void signal();

    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_hasEnded = false;
};

#endif // THREADEND_H
