// The yardstick of the start-up benchmark: the same start as the program
// with an empty QMainWindow in place of the main window.

#include "startupprobe.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QMainWindow>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir files;
    QApplication::setApplicationName(QStringLiteral("rz5300"));
    QApplication::setFont(QFont(QStringLiteral("Microsoft Yahei"), 9));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/logo.ico")));
    QMainWindow window;
    new StartupProbe(&window);
    window.show();
    return QApplication::exec();
}
