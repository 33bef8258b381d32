#include "journallog.h"

Q_LOGGING_CATEGORY(lcJournal, "rz5300.journal", QtWarningMsg)
