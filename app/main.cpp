#include "mainwindow.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rz5300"));
    QApplication::setFont(QFont(QStringLiteral("Microsoft Yahei"), 9));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/logo.ico")));
    MainWindow window;
    window.show();
    return QApplication::exec();
}
