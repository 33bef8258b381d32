#ifndef STATIONLOG_H
#define STATIONLOG_H

#include <QLoggingCategory>

// Diagnostics of the station: its processors and looks ("rz5300.station").
Q_DECLARE_LOGGING_CATEGORY(lcStation)

#endif // STATIONLOG_H
