#include "handover.h"

#include <QThread>

QEvent::Type Handover::callType()
{
    static const QEvent::Type type = QEvent::Type(QEvent::registerEventType());
    return type;
}

// The event is acquired before anything of it is read.
bool Handover::event(QEvent *event)
{
    acquire(event);
    acquire(this);
    if (event->type() != callType())
        return QObject::event(event);
    static_cast<PostedCall *>(event)->run();
    return true;
}

void Handover::start(QThread *thread)
{
    QSemaphore running;
    const QMetaObject::Connection started = connect(
        thread, &QThread::started, thread,
        [&running] {
            QSemaphore &signalled = running; // nothing of the call is read after the release
            release(&signalled);
            signalled.release();
        },
        Qt::DirectConnection);
    thread->start(QThread::InheritPriority);
    running.acquire();
    acquire(&running);
    disconnect(started);
}
