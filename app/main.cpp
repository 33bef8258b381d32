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
    window.show();
    // After each window has read its files, which it does once shown.
    if (options.connect)
        QTimer::singleShot(0, &window, &StationWindow::linkAll);
    return QApplication::exec();
}
