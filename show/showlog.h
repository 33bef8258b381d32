#ifndef SHOWLOG_H
#define SHOWLOG_H

#include <QLoggingCategory>

// Diagnostics of the show: sequences, schedules, backup sources ("rz5300.show").
Q_DECLARE_LOGGING_CATEGORY(lcShow)

#endif // SHOWLOG_H
