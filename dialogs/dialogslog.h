#ifndef DIALOGSLOG_H
#define DIALOGSLOG_H

#include <QLoggingCategory>

// Diagnostics of the device dialogs ("rz5300.dialogs").
Q_DECLARE_LOGGING_CATEGORY(lcDialogs)

#endif // DIALOGSLOG_H
