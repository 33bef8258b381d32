#include "commandline.h"

#include <appdirectory.h>

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace {

constexpr int BadUsage = 2;
constexpr int NoFolder = 1;

int fail(const QString &text, int code)
{
    std::fprintf(stderr, "%s\n", qPrintable(text));
    return code;
}

} // namespace

std::optional<int> CommandLine::apply(const QCoreApplication &app, Options *options)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Controls an RZ5300 video-wall processor."));
    parser.addHelpOption();
    const QCommandLineOption profile(
        QStringLiteral("profile"),
        QStringLiteral("Run as the station NAME, with files of its own in profiles/NAME of the program's folder."),
        QStringLiteral("NAME"));
    parser.addOption(profile);
    const QCommandLineOption connect(QStringLiteral("connect"),
                                     QStringLiteral("Link every processor at start, as Connect does."));
    parser.addOption(connect);
    if (!parser.parse(app.arguments()))
        return fail(parser.errorText(), BadUsage);
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(0);
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()), BadUsage);
    options->connect = parser.isSet(connect);
    if (!parser.isSet(profile))
        return std::nullopt;

    const QString name = parser.value(profile);
    if (!AppDirectory::isProfileName(name))
        return fail(QStringLiteral("bad profile name \"%1\": use 1 to 32 letters, digits, '-' or '_'").arg(name),
                    BadUsage);
    if (!AppDirectory::setProfile(name))
        return fail(QStringLiteral("cannot create the folder of profile %1 in %2").arg(name, AppDirectory::path()),
                    NoFolder);
    return std::nullopt;
}
