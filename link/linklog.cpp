#include "linklog.h"

Q_LOGGING_CATEGORY(lcLink, "rz5300.link", QtWarningMsg)
