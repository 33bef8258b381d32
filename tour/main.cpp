// rz5300-tour: shows the program working without an operator, for the demo
// on a machine without a display and for CI.
//   rz5300-tour [--short] FOLDER              run the tour, screenshots into FOLDER
//   rz5300-tour --serial PORT [--language en|zh] FOLDER
//                                             set FOLDER's program to that port

#include "tour.h"

#include <applicationsetup.h>
#include <appdirectory.h>
#include <settingsfile.h>

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

bool writeSettings(const QString &folder, const QString &port, bool english)
{
    SettingsFile::Contents contents;
    contents.linkSettings = SettingsFile::defaultLinkSettings();
    contents.linkSettings[0] = QStringLiteral("1"); // serial
    contents.linkSettings[6] = port;
    contents.language = english ? 1 : 0;
    contents.checkSum = DemoTag;
    contents.defaults = false;
    return SettingsFile::write(folder + QStringLiteral("/infoCong.ini"), contents);
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
                                    QStringLiteral("Only write the folder's settings file for this serial port."),
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
    if (parser.isSet(serial))
        return writeSettings(folder, parser.value(serial), parser.value(language) != QLatin1String("zh")) ? 0 : 1;

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
