// rz5300-tour: shows the program working without an operator, for the demo
// on a machine without a display and for CI.
//   rz5300-tour [--short] FOLDER              run the tour, screenshots into FOLDER
//   rz5300-tour --serial PORT [--serial PORT2 ...] [--language en|zh] FOLDER
//                                             set FOLDER's program to that port,
//                                             a station with one processor a port

#include "tour.h"

#include <applicationsetup.h>
#include <appdirectory.h>
#include <settingsfile.h>
#include <stationsettings.h>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QTimer>

#include <cstdio>
#include <cstdlib>

namespace {

constexpr int ShortLimitMs = 90 * 1000;
constexpr int FullLimitMs = 300 * 1000;

// A data tag no device holds: the program reads the device's presets on
// connecting instead of taking its own (empty) record for them.
const QByteArray DemoTag("rz-demo!");

// The demo venue's processors, in the order of their ports.
const QStringList VenueNames{QStringLiteral("Main wall"), QStringLiteral("Side wall"),
                             QStringLiteral("Stage floor"), QStringLiteral("Balcony"),
                             QStringLiteral("Lobby"), QStringLiteral("Foyer"),
                             QStringLiteral("Backstage"), QStringLiteral("Street screen")};

QStringList serialLink(const QString &port)
{
    QStringList link = SettingsFile::defaultLinkSettings();
    link[0] = QStringLiteral("1"); // serial
    link[6] = port;
    return link;
}

// The first port is the link of processor 1, as a station of one keeps it;
// each further one a [processorN] group. A station of one keeps no groups,
// so an earlier demo's are removed.
bool writeSettings(const QString &folder, const QStringList &ports, bool english)
{
    const QString path = folder + QStringLiteral("/infoCong.ini");
    SettingsFile::Contents contents;
    contents.linkSettings = serialLink(ports.first());
    contents.language = english ? 1 : 0;
    contents.checkSum = DemoTag;
    contents.defaults = false;
    QList<StationSettings::Processor> processors;
    if (ports.size() > 1) {
        for (int i = 0; i < ports.size(); ++i)
            processors.append({VenueNames.value(i), serialLink(ports.at(i))});
    }
    return SettingsFile::write(path, contents) && StationSettings::write(path, processors);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationSetup::apply();

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Drives the RZ5300 program and leaves screenshots."));
    parser.addHelpOption();
    const QCommandLineOption shortTour(QStringLiteral("short"), QStringLiteral("Connect, one screenshot, end."));
    const QCommandLineOption serial(QStringLiteral("serial"),
                                    QStringLiteral("Only write the folder's settings file for this serial port; "
                                                   "given again, for each further processor of a station."),
                                    QStringLiteral("PORT"));
    const QCommandLineOption language(QStringLiteral("language"),
                                      QStringLiteral("Language of that settings file: en (default) or zh."),
                                      QStringLiteral("LANG"), QStringLiteral("en"));
    parser.addOptions({shortTour, serial, language});
    parser.addPositionalArgument(QStringLiteral("folder"), QStringLiteral("The demo folder."));
    parser.process(app);
    if (parser.positionalArguments().size() != 1)
        parser.showHelp(2);
    const QString folder = QDir(parser.positionalArguments().first()).absolutePath();
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "tour: cannot create %s\n", qPrintable(folder));
        return 1;
    }
    if (parser.isSet(serial)) {
        const QStringList ports = parser.values(serial);
        if (ports.size() > StationSettings::MaxProcessors) {
            std::fprintf(stderr, "tour: at most %d processors\n", StationSettings::MaxProcessors);
            return 2;
        }
        return writeSettings(folder, ports, parser.value(language) != QLatin1String("zh")) ? 0 : 1;
    }

    AppDirectory::setPath(folder);
    // The tour answers every window by itself; this is only the last guard.
    QTimer::singleShot(parser.isSet(shortTour) ? ShortLimitMs : FullLimitMs, [] {
        std::fputs("tour: ran out of time\n", stderr);
        std::_Exit(1);
    });
    Tour tour(folder, parser.isSet(shortTour));
    QTimer::singleShot(0, &tour, [&tour] { QApplication::exit(tour.run() == 0 ? 0 : 1); });
    return QApplication::exec();
}
