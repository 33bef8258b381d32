#include "datafiledialog.h"

#include <QFileDialog>

namespace {

std::function<QString()> &driverAnswer()
{
    static std::function<QString()> answer;
    return answer;
}

QString ask(const std::function<QString()> &dialog)
{
    return driverAnswer() ? driverAnswer()() : dialog();
}

} // namespace

QString DataFileDialog::openPath()
{
    return ask([] {
        return QFileDialog::getOpenFileName(
            nullptr, tr("%1 - Open").arg(QCoreApplication::applicationName()), QStringLiteral("."),
            tr("KM880_6U (*.pd)"));
    });
}

QString DataFileDialog::savePath()
{
    return withDataSuffix(ask([] {
        return QFileDialog::getSaveFileName(
            nullptr, tr("%1 - Save As").arg(QCoreApplication::applicationName()), QStringLiteral("."),
            tr("KM880_6U (*.pd)"));
    }));
}

QString DataFileDialog::withDataSuffix(const QString &name)
{
    if (name.isEmpty() || name.endsWith(QLatin1String(".pd"), Qt::CaseInsensitive))
        return name;
    return name + QLatin1String(".pd");
}

void DataFileDialog::answerWith(std::function<QString()> answer)
{
    driverAnswer() = std::move(answer);
}
