#include "applog.h"

Q_LOGGING_CATEGORY(lcApp, "rz5300.app", QtWarningMsg)
