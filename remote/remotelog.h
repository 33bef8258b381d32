#ifndef REMOTELOG_H
#define REMOTELOG_H

#include <QLoggingCategory>

// Diagnostics of the remote control ("rz5300.remote").
Q_DECLARE_LOGGING_CATEGORY(lcRemote)

#endif // REMOTELOG_H
