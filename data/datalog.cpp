#include "datalog.h"

Q_LOGGING_CATEGORY(lcData, "rz5300.data", QtWarningMsg)
