#include "weblog.h"

Q_LOGGING_CATEGORY(lcWeb, "rz5300.web", QtWarningMsg)
