#include "applicationsetup.h"
#include "mainwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();
    MainWindow window;
    window.show();
    return QApplication::exec();
}
