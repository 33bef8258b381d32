#include "processortarget.h"

#include "mainwindow.h"
#include "operatoractions.h"

#include <looktarget.h>

LookTarget *processorTarget(const QString &name, MainWindow *window, RemoteActions::Origin origin, QObject *parent)
{
    auto *target = new LookTarget(name, window->link(), parent);
    OperatorActions *actions = window->actions();
    target->setRecall(
        [actions, origin](int preset) { return actions->postRecall(preset, origin) == RemoteActions::Done; },
        [actions, origin](int preset) { actions->followRecall(preset, origin); });
    return target;
}
