// Linked into the tests only in the ThreadSanitizer build. QtGui splits
// large fills and image conversions over the global thread pool and waits
// for them on a futex the sanitizer cannot see; without a pool it does the
// same work in the painting thread. Only QtGui asks for the pool through
// this exported symbol, so QtCore's own uses of it are unchanged.

#include <QThreadPool>

QThreadPool *QThreadPool::globalInstance()
{
    return nullptr;
}
