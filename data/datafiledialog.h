#ifndef DATAFILEDIALOG_H
#define DATAFILEDIALOG_H

#include <QCoreApplication>
#include <QString>

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
};

#endif // DATAFILEDIALOG_H
