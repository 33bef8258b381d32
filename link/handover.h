#ifndef HANDOVER_H
#define HANDOVER_H

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QSemaphore>

class QThread;

#include <utility>

#if defined(__SANITIZE_THREAD__)
#define RZ_HANDOVER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define RZ_HANDOVER_TSAN 1
#endif
#endif

#ifdef RZ_HANDOVER_TSAN
#include <sanitizer/tsan_interface.h>
// In the runtime, not in GCC 12's header.
extern "C" void __tsan_ignore_thread_begin();
extern "C" void __tsan_ignore_thread_end();
#endif

// The one way anything passes between the link's threads: calls posted to
// it run in its thread, in posting order.
//
// Qt's event queue carries them, but ThreadSanitizer cannot see that queue
// in a Qt not built for it: each call is built whole, then marked released
// where it is posted and acquired where it runs (or is dropped), so that
// what it carries is not taken for a race.
class Handover : public QObject
{
public:
    using QObject::QObject;

    template<typename Call>
    void post(Call call)
    {
        auto *event = new CallEvent<Call>(std::move(call));
        release(event);
        enqueue(event);
        // Posting wakes the receiving thread through its dispatcher; that
        // too comes before what the call does there.
        release(this);
    }

    // Starts the thread and waits until calls can be posted to it: its
    // event dispatcher is made in it.
    static void start(QThread *thread);

    // The same, waiting for the call to have run; from another thread only.
    template<typename Call>
    void await(Call call)
    {
        QSemaphore done;
        post([&call, &done] {
            call();
            release(&done);
            done.release();
        });
        done.acquire();
        acquire(&done);
    }

protected:
    bool event(QEvent *event) override;

private:
    static void release([[maybe_unused]] const void *tag)
    {
#ifdef RZ_HANDOVER_TSAN
        __tsan_release(const_cast<void *>(tag));
#endif
    }
    static void acquire([[maybe_unused]] const void *tag)
    {
#ifdef RZ_HANDOVER_TSAN
        __tsan_acquire(const_cast<void *>(tag));
#endif
    }

    // Qt's posted-event list of the receiving thread is written here and
    // read there under Qt's own lock, which the sanitizer cannot see; only
    // the list is touched while it looks away, the event was built before.
    void enqueue(QEvent *event)
    {
#ifdef RZ_HANDOVER_TSAN
        __tsan_ignore_thread_begin();
#endif
        QCoreApplication::postEvent(this, event);
#ifdef RZ_HANDOVER_TSAN
        __tsan_ignore_thread_end();
#endif
    }

    static QEvent::Type callType();

    struct PostedCall : QEvent
    {
        PostedCall() : QEvent(callType()) {}
        // Dropped unrun when the receiver goes away first.
        ~PostedCall() override { acquire(this); }
        virtual void run() = 0;
    };

    template<typename Call>
    struct CallEvent : PostedCall
    {
        explicit CallEvent(Call &&call) : m_call(std::move(call)) {}
        void run() override { m_call(); }
        Call m_call;
    };
};

#endif // HANDOVER_H
