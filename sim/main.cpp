#include "devicesimulator.h"
#include "deviceprofile.h"

#ifdef Q_OS_UNIX
#include "signalwatcher.h"
#endif

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

struct Options
{
    bool tcp = false;
    quint16 tcpPort = 0;
    bool pty = false;
    QString link;
    int baud = 0;
    QString profile;
    FaultOptions faults;
    ReplyForm form;
};

// Bounded so that the longest reply stays one the length field can hold.
constexpr int MaxSpareBytes = 1000;

QCommandLineOption numberOption(const QString &name, const QString &description)
{
    return QCommandLineOption(name, description, QStringLiteral("N"));
}

int numberValue(const QCommandLineParser &parser, const QString &name)
{
    return parser.value(name).toInt();
}

int codeValue(const QCommandLineParser &parser, const QString &name)
{
    return parser.value(name).toInt(nullptr, 16);
}

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulates the video-wall processor on a TCP port and/or a pseudo-terminal."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("tcp"), QStringLiteral("Listen on 127.0.0.1 at this port (0 = any free port)."), QStringLiteral("PORT")},
        {QStringLiteral("pty"), QStringLiteral("Open a pseudo-terminal as the serial port.")},
        {QStringLiteral("link"), QStringLiteral("Symlink to the pseudo-terminal at this path (implies --pty)."), QStringLiteral("PATH")},
        numberOption(QStringLiteral("baud"), QStringLiteral("Pace both directions like a serial line at this rate (8N1).")),
        {QStringLiteral("profile"), QStringLiteral("Load the chassis from this JSON file."), QStringLiteral("FILE")},
        numberOption(QStringLiteral("drop-every"), QStringLiteral("Do not answer every Nth request.")),
        {QStringLiteral("delay"), QStringLiteral("Delay every reply by this many milliseconds."), QStringLiteral("MS")},
        numberOption(QStringLiteral("late-request"), QStringLiteral("Hold the reply to the Nth request back by --late milliseconds more.")),
        {QStringLiteral("late"), QStringLiteral("How long --late-request holds its reply back."), QStringLiteral("MS")},
        {QStringLiteral("slow-code"), QStringLiteral("Delay the replies to requests with this command code (hex) by --slow milliseconds more."), QStringLiteral("CODE")},
        {QStringLiteral("slow"), QStringLiteral("How long --slow-code holds its replies back."), QStringLiteral("MS")},
        {QStringLiteral("out-of-turn-code"), QStringLiteral("Answer the first request with this command code (hex) only --out-of-turn milliseconds later, after the replies to later requests."), QStringLiteral("CODE")},
        {QStringLiteral("out-of-turn"), QStringLiteral("How long --out-of-turn-code holds its reply back."), QStringLiteral("MS")},
        {QStringLiteral("mute-code"), QStringLiteral("Never answer requests with this command code (hex)."), QStringLiteral("CODE")},
        {QStringLiteral("split"), QStringLiteral("Send replies in random pieces.")},
        numberOption(QStringLiteral("noise-every"), QStringLiteral("Put random bytes before every Nth reply.")),
        {QStringLiteral("noise-starts"), QStringLiteral("Put a 0x20, the start of a reply, in every burst of noise.")},
        numberOption(QStringLiteral("overrun-every"), QStringLiteral("Send every Nth reply longer than its length says.")),
        numberOption(QStringLiteral("hang-up-after"), QStringLiteral("Close a TCP connection after N replies.")),
        numberOption(QStringLiteral("unplug-after"), QStringLiteral("Close the pseudo-terminal after N replies.")),
        numberOption(QStringLiteral("seed"), QStringLiteral("Seed of the fault injection (default 1).")),
        numberOption(QStringLiteral("spare-bytes"), QStringLiteral("Put N zero bytes before the trailer of every read reply (0 to 1000).")),
        {QStringLiteral("code-byte"), QStringLiteral("Put this byte (hex) in byte 8 of every read reply instead of the read's code; 0 for a device without an echo."), QStringLiteral("HEX")},
        {QStringLiteral("shortest-replies"), QStringLiteral("Send only the bytes of a read reply the host reads, then the trailer.")},
    });
    parser.process(app);

    Options options;
    options.tcp = parser.isSet(QStringLiteral("tcp"));
    options.tcpPort = quint16(numberValue(parser, QStringLiteral("tcp")));
    options.link = parser.value(QStringLiteral("link"));
    options.pty = parser.isSet(QStringLiteral("pty")) || !options.link.isEmpty();
    options.baud = numberValue(parser, QStringLiteral("baud"));
    options.profile = parser.value(QStringLiteral("profile"));
    FaultOptions &faults = options.faults;
    faults.dropEvery = numberValue(parser, QStringLiteral("drop-every"));
    faults.delayMs = numberValue(parser, QStringLiteral("delay"));
    faults.lateRequest = numberValue(parser, QStringLiteral("late-request"));
    faults.lateMs = numberValue(parser, QStringLiteral("late"));
    faults.slowCode = codeValue(parser, QStringLiteral("slow-code"));
    faults.slowMs = numberValue(parser, QStringLiteral("slow"));
    faults.outOfTurnCode = codeValue(parser, QStringLiteral("out-of-turn-code"));
    faults.outOfTurnMs = numberValue(parser, QStringLiteral("out-of-turn"));
    faults.muteCode = codeValue(parser, QStringLiteral("mute-code"));
    faults.splitReplies = parser.isSet(QStringLiteral("split"));
    faults.noiseEvery = numberValue(parser, QStringLiteral("noise-every"));
    faults.noiseStarts = parser.isSet(QStringLiteral("noise-starts"));
    faults.overrunEvery = numberValue(parser, QStringLiteral("overrun-every"));
    faults.hangUpAfter = numberValue(parser, QStringLiteral("hang-up-after"));
    faults.unplugAfter = numberValue(parser, QStringLiteral("unplug-after"));
    if (parser.isSet(QStringLiteral("seed")))
        faults.seed = quint32(parser.value(QStringLiteral("seed")).toUInt());
    ReplyForm &form = options.form;
    form.spareBytes = numberValue(parser, QStringLiteral("spare-bytes"));
    if (parser.isSet(QStringLiteral("code-byte")))
        form.codeByte = codeValue(parser, QStringLiteral("code-byte"));
    form.shortest = parser.isSet(QStringLiteral("shortest-replies"));
    if (form.spareBytes < 0 || form.spareBytes > MaxSpareBytes || form.codeByte < ReplyForm::Echo
        || form.codeByte > 0xFF) {
        QTextStream(stderr) << "--spare-bytes takes 0 to " << MaxSpareBytes << ", --code-byte 00 to ff.\n";
        parser.showHelp(2);
    }
    if (!options.tcp && !options.pty) {
        QTextStream(stderr) << "Give --tcp PORT and/or --pty.\n";
        parser.showHelp(2);
    }
    return options;
}

bool start(DeviceSimulator &simulator, const Options &options)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    QString error;
    if (!options.profile.isEmpty() && !DeviceProfile::load(options.profile, &simulator.model(), &error)) {
        err << error << '\n';
        return false;
    }
    simulator.setBaudRate(options.baud);
    simulator.setFaults(options.faults);
    simulator.setReplyForm(options.form);
    if (options.tcp) {
        if (!simulator.listenTcp(options.tcpPort)) {
            err << "cannot listen on port " << options.tcpPort << '\n';
            return false;
        }
        out << "tcp " << simulator.tcpPort() << Qt::endl;
    }
    if (options.pty) {
        if (!simulator.openPty(options.link)) {
            err << "cannot open a pseudo-terminal\n";
            return false;
        }
        out << "pty " << simulator.ptyPath() << Qt::endl;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rz5300-sim"));
    const Options options = parseOptions(app);

    DeviceSimulator simulator;
#ifdef Q_OS_UNIX
    // SIGINT and SIGTERM end the event loop, so the terminal's link is removed.
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app, &QCoreApplication::quit);
#endif
    if (!start(simulator, options))
        return 1;
    return app.exec();
}
