#ifndef WEBLOG_H
#define WEBLOG_H

#include <QLoggingCategory>

// Diagnostics of the tablet page's server ("rz5300.web").
Q_DECLARE_LOGGING_CATEGORY(lcWeb)

#endif // WEBLOG_H
