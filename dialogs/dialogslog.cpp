#include "dialogslog.h"

Q_LOGGING_CATEGORY(lcDialogs, "rz5300.dialogs", QtWarningMsg)
