// The program's start as app/main.cpp does it (application, font, icon,
// main window, show), with its files in a temporary directory and a probe
// that reports when the window is first painted.

#include "startupprobe.h"

#include <applicationsetup.h>
#include <appdirectory.h>
#include <mainwindow.h>

#include <QApplication>
#include <QTemporaryDir>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir files;
    AppDirectory::setPath(files.path());
    ApplicationSetup::apply();
    MainWindow window;
    new StartupProbe(&window);
    window.show();
    return QApplication::exec();
}
