#include "showlog.h"

Q_LOGGING_CATEGORY(lcShow, "rz5300.show", QtWarningMsg)
