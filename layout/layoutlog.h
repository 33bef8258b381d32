#ifndef LAYOUTLOG_H
#define LAYOUTLOG_H

#include <QLoggingCategory>

// Diagnostics of the wall model and its views ("rz5300.layout").
Q_DECLARE_LOGGING_CATEGORY(lcLayout)

#endif // LAYOUTLOG_H
