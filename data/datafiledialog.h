#ifndef DATAFILEDIALOG_H
#define DATAFILEDIALOG_H

#include <QCoreApplication>
#include <QString>

#include <functional>

// Asks the operator for a user data file to import or export.
class DataFileDialog
{
    Q_DECLARE_TR_FUNCTIONS(DataFileDialog)

public:
    // Empty when the operator cancelled.
    static QString openPath();
    static QString savePath();
    // Appends ".pd" unless the name already ends in it, in any case.
    static QString withDataSuffix(const QString &name);
    // What drives the window without an operator answers in place of the
    // dialog, whose file system model lists folders in a thread of its own
    // (Qt's, ordered by locks ThreadSanitizer cannot see). Empty: the
    // dialog asks.
    static void answerWith(std::function<QString()> answer);
};

#endif // DATAFILEDIALOG_H
