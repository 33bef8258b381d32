#include "applicationsetup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

void ApplicationSetup::apply()
{
    QApplication::setApplicationName(QStringLiteral("rz5300"));
    QApplication::setFont(QFont(QStringLiteral("Microsoft Yahei"), 9));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/logo.ico")));
}
