#ifndef LINKLOG_H
#define LINKLOG_H

#include <QLoggingCategory>

// Diagnostics of the device link ("rz5300.link"); the debug level carries a
// hex trace of every frame sent and every byte received.
Q_DECLARE_LOGGING_CATEGORY(lcLink)

#endif // LINKLOG_H
