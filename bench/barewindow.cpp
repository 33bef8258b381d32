// The yardstick of the start-up benchmark: the same start as the program
// with an empty QMainWindow in place of the main window.

#include "startupprobe.h"

#include <applicationsetup.h>

#include <QApplication>
#include <QMainWindow>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir files;
    ApplicationSetup::apply();
    QMainWindow window;
    new StartupProbe(&window);
    window.show();
    return QApplication::exec();
}
