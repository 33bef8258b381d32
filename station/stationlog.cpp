#include "stationlog.h"

Q_LOGGING_CATEGORY(lcStation, "rz5300.station", QtWarningMsg)
