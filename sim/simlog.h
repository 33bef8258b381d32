#ifndef SIMLOG_H
#define SIMLOG_H

#include <QLoggingCategory>

// Diagnostics of the device simulator ("rz5300.sim").
Q_DECLARE_LOGGING_CATEGORY(lcSim)

#endif // SIMLOG_H
