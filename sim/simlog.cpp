#include "simlog.h"

Q_LOGGING_CATEGORY(lcSim, "rz5300.sim", QtWarningMsg)
