#include "applicationsetup.h"
#include "commandline.h"
#include "mainwindow.h"
#include "stationclaim.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();
    if (const std::optional<int> refused = CommandLine::apply(app))
        return *refused;
    StationClaim::take();
    MainWindow window;
    window.show();
    return QApplication::exec();
}
