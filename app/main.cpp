#include "applicationsetup.h"
#include "commandline.h"
#include "stationclaim.h"
#include "stationwindow.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();
    CommandLine::Options options;
    if (const std::optional<int> refused = CommandLine::apply(app, &options))
        return *refused;
    StationClaim::take();
    StationWindow window;
    // The program ends with the station's window, never because the last
    // of its other windows (a wait page, a message) closed while Qt did not
    // count the station's among the visible ones.
    QApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(&window, &StationWindow::closed, &app, &QApplication::quit);
    window.show();
    // After each window has read its files, which it does once shown.
    if (options.connect)
        QTimer::singleShot(0, &window, &StationWindow::linkAll);
    return QApplication::exec();
}
