#include "datafiledialog.h"

#include <QFileDialog>

QString DataFileDialog::openPath()
{
    return QFileDialog::getOpenFileName(
        nullptr, tr("%1 - Open").arg(QCoreApplication::applicationName()), QStringLiteral("."),
        tr("KM880_6U (*.pd)"));
}

QString DataFileDialog::savePath()
{
    return withDataSuffix(QFileDialog::getSaveFileName(
        nullptr, tr("%1 - Save As").arg(QCoreApplication::applicationName()), QStringLiteral("."),
        tr("KM880_6U (*.pd)")));
}

QString DataFileDialog::withDataSuffix(const QString &name)
{
    if (name.isEmpty() || name.endsWith(QLatin1String(".pd"), Qt::CaseInsensitive))
        return name;
    return name + QLatin1String(".pd");
}
