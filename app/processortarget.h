#ifndef PROCESSORTARGET_H
#define PROCESSORTARGET_H

#include <remoteactions.h>

class LookTarget;
class MainWindow;
class QObject;
class QString;

// The processor of a window as a look recalls it, asked by origin: the
// recall goes the way of that origin's own (the bar, the history and the
// marks follow; a preset edited blind is refused to all but the operator).
LookTarget *processorTarget(const QString &name, MainWindow *window, RemoteActions::Origin origin,
                            QObject *parent = nullptr);

#endif // PROCESSORTARGET_H
