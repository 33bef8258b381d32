#ifndef APPLOG_H
#define APPLOG_H

#include <QLoggingCategory>

// Diagnostics of the main window ("rz5300.app").
Q_DECLARE_LOGGING_CATEGORY(lcApp)

#endif // APPLOG_H
