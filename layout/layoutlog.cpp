#include "layoutlog.h"

Q_LOGGING_CATEGORY(lcLayout, "rz5300.layout", QtWarningMsg)
