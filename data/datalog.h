#ifndef DATALOG_H
#define DATALOG_H

#include <QLoggingCategory>

// Diagnostics of the device data record and its files ("rz5300.data").
Q_DECLARE_LOGGING_CATEGORY(lcData)

#endif // DATALOG_H
