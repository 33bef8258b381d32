#ifndef LAYOUTLOG_H
#define LAYOUTLOG_H

#include <QLoggingCategory>

// Diagnostics of the layout widgets ("rz5300.layout").
Q_DECLARE_LOGGING_CATEGORY(lcLayout)

#endif // LAYOUTLOG_H
