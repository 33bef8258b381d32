#include "applicationsetup.h"
#include "commandline.h"
#include "stationclaim.h"
#include "stationwindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();
    if (const std::optional<int> refused = CommandLine::apply(app))
        return *refused;
    StationClaim::take();
    StationWindow window;
    window.show();
    return QApplication::exec();
}
