#ifndef JOURNALLOG_H
#define JOURNALLOG_H

#include <QLoggingCategory>

// Diagnostics of the journal ("rz5300.journal").
Q_DECLARE_LOGGING_CATEGORY(lcJournal)

#endif // JOURNALLOG_H
