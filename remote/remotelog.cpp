#include "remotelog.h"

Q_LOGGING_CATEGORY(lcRemote, "rz5300.remote", QtWarningMsg)
