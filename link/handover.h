#ifndef HANDOVER_H
#define HANDOVER_H

#include <QMetaObject>
#include <QObject>

#include <memory>
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
#endif

// The one way anything passes between the link's threads: a call posted to
// the thread of the object that takes it, run there in posting order.
//
// Qt's event queue is the hand-over, but ThreadSanitizer cannot see it in a
// Qt not built for it: the call is marked released where it is posted and
// acquired where it runs, so that what it carries is not taken for a race.
namespace Handover {

template<typename Call>
void post(QObject *receiver, Call call)
{
    auto held = std::make_shared<Call>(std::move(call));
#ifdef RZ_HANDOVER_TSAN
    __tsan_release(held.get());
#endif
    QMetaObject::invokeMethod(
        receiver,
        [held] {
#ifdef RZ_HANDOVER_TSAN
            __tsan_acquire(held.get());
#endif
            (*held)();
        },
        Qt::QueuedConnection);
}

// The same, waiting for the call to have run; from another thread than
// the receiver's only.
template<typename Call>
void await(QObject *receiver, Call call)
{
#ifdef RZ_HANDOVER_TSAN
    __tsan_release(&call);
#endif
    QMetaObject::invokeMethod(
        receiver,
        [&call] {
#ifdef RZ_HANDOVER_TSAN
            __tsan_acquire(&call);
#endif
            call();
#ifdef RZ_HANDOVER_TSAN
            __tsan_release(&call);
#endif
        },
        Qt::BlockingQueuedConnection);
#ifdef RZ_HANDOVER_TSAN
    __tsan_acquire(&call);
#endif
}

} // namespace Handover

#endif // HANDOVER_H
