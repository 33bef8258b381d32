#include "devicesimulator.h"
#include "simulatorset.h"

#ifdef Q_OS_UNIX
#include "signalwatcher.h"
#endif

#include <devicelimits.h>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <QTimer>

namespace {

// An input's signal cut at a time after the start, and restored after a
// while unless forSeconds is 0.
struct SignalCut
{
    int input = 0;
    int atSeconds = 0;
    int forSeconds = 0;
};

struct Options
{
    int processors = 1;
    bool tcp = false;
    quint16 tcpPort = 0;
    bool pty = false;
    QString link;
    int baud = 0;
    QStringList profiles;
    FaultOptions faults;
    QList<int> faulty; // empty: every processor
    ReplyForm form;
    QList<SignalCut> cuts;
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

[[noreturn]] void refuse(QCommandLineParser &parser, const QString &message)
{
    QTextStream(stderr) << message << '\n';
    parser.showHelp(2);
}

// A whole number from min to max, or the program ends with the message.
int boundedValue(QCommandLineParser &parser, const QString &text, int min, int max, const QString &message)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < min || value > max)
        refuse(parser, message);
    return value;
}

int codeValue(const QCommandLineParser &parser, const QString &name)
{
    return parser.value(name).toInt(nullptr, 16);
}

SignalCut cutValue(QCommandLineParser &parser, const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    const QString message = QStringLiteral("--cut-signal takes INPUT:AT[:FOR], an input code and seconds up to a day.");
    if (parts.size() < 2 || parts.size() > 3)
        refuse(parser, message);
    constexpr int Day = 24 * 3600;
    return {boundedValue(parser, parts.at(0), 0, Limits::LastInputCode, message), boundedValue(parser, parts.at(1), 0, Day, message),
            parts.size() == 3 ? boundedValue(parser, parts.at(2), 1, Day, message) : 0};
}

// Each cut on the processors with faults, at its time.
void scheduleCuts(SimulatorSet &processors, const Options &options)
{
    for (const SignalCut &cut : options.cuts) {
        for (int number = 1; number <= processors.count(); ++number) {
            if (!options.faulty.isEmpty() && !options.faulty.contains(number))
                continue;
            DeviceSimulator *simulator = &processors.processor(number);
            QTimer::singleShot(cut.atSeconds * 1000, simulator, [simulator, cut] {
                if (!simulator->setSignal(cut.input, false))
                    QTextStream(stderr) << "no card carries input " << cut.input << '\n';
            });
            if (cut.forSeconds > 0) {
                QTimer::singleShot((cut.atSeconds + cut.forSeconds) * 1000, simulator,
                                   [simulator, cut] { simulator->setSignal(cut.input, true); });
            }
        }
    }
}

// How many processors, their ports and which of them are faulty.
void readProcessors(QCommandLineParser &parser, Options *options)
{
    if (parser.isSet(QStringLiteral("processors"))) {
        options->processors = boundedValue(parser, parser.value(QStringLiteral("processors")), 1,
                                           SimulatorSet::MaxProcessors,
                                           QStringLiteral("--processors takes 1 to %1.").arg(SimulatorSet::MaxProcessors));
    }
    options->tcp = parser.isSet(QStringLiteral("tcp"));
    if (options->tcp) {
        const int port = boundedValue(parser, parser.value(QStringLiteral("tcp")), 0, 65535,
                                      QStringLiteral("--tcp takes a port, 0 to 65535."));
        if (!SimulatorSet::portsFit(port, options->processors))
            refuse(parser, QStringLiteral("--tcp %1 leaves no port for processor %2.").arg(port).arg(options->processors));
        options->tcpPort = quint16(port);
    }
    const QStringList faulty = parser.values(QStringLiteral("faulty"));
    for (const QString &number : faulty) {
        options->faulty.append(boundedValue(parser, number, 1, options->processors,
                                            QStringLiteral("--faulty takes a processor, 1 to %1.").arg(options->processors)));
    }
}

Options parseOptions(const QCoreApplication &app)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Simulates the video-wall processor on a TCP port and/or a pseudo-terminal."));
    parser.addHelpOption();
    parser.addOptions({
        numberOption(QStringLiteral("processors"), QStringLiteral("Play N processors, 1 to 8 (default 1).")),
        {QStringLiteral("tcp"), QStringLiteral("Listen on 127.0.0.1 at this port, processor i at PORT+i-1 (0 = any free ports)."), QStringLiteral("PORT")},
        {QStringLiteral("pty"), QStringLiteral("Open a pseudo-terminal as the serial port of each processor.")},
        {QStringLiteral("link"), QStringLiteral("Symlink to the pseudo-terminal at this path, processor i>1's at PATH-i (implies --pty)."), QStringLiteral("PATH")},
        numberOption(QStringLiteral("baud"), QStringLiteral("Pace both directions like a serial line at this rate (8N1).")),
        {QStringLiteral("profile"), QStringLiteral("Load the chassis from this JSON file; the k-th one given loads processor k, the last one the rest."), QStringLiteral("FILE")},
        numberOption(QStringLiteral("faulty"), QStringLiteral("Inject the faults into processor N only (repeatable; default all).")),
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
        {QStringLiteral("cut-signal"), QStringLiteral("Cut the signal on INPUT (a channel code) AT seconds after the start, and restore it FOR seconds later if given (repeatable; the --faulty processors, default all)."), QStringLiteral("INPUT:AT[:FOR]")},
    });
    parser.process(app);

    Options options;
    readProcessors(parser, &options);
    options.link = parser.value(QStringLiteral("link"));
    options.pty = parser.isSet(QStringLiteral("pty")) || !options.link.isEmpty();
    options.baud = numberValue(parser, QStringLiteral("baud"));
    options.profiles = parser.values(QStringLiteral("profile"));
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
        refuse(parser, QStringLiteral("--spare-bytes takes 0 to %1, --code-byte 00 to ff.").arg(MaxSpareBytes));
    }
    if (!options.tcp && !options.pty)
        refuse(parser, QStringLiteral("Give --tcp PORT and/or --pty."));
    for (const QString &cut : parser.values(QStringLiteral("cut-signal")))
        options.cuts.append(cutValue(parser, cut));
    return options;
}

bool start(SimulatorSet &processors, const Options &options)
{
    QString error;
    if (!processors.loadProfiles(options.profiles, &error)) {
        QTextStream(stderr) << error << '\n';
        return false;
    }
    processors.setBaudRate(options.baud);
    processors.setFaults(options.faults, options.faulty);
    processors.setReplyForm(options.form);
    if ((options.tcp && !processors.listenTcp(options.tcpPort, &error))
        || (options.pty && !processors.openPty(options.link, &error))) {
        QTextStream(stderr) << error << '\n';
        return false;
    }
    return true;
}

// One line a transport; with several processors each names its processor,
// so that scripts can tell them apart.
void announce(const SimulatorSet &processors, const Options &options)
{
    QTextStream out(stdout);
    for (int number = 1; number <= processors.count(); ++number) {
        const QString prefix = processors.count() > 1 ? QStringLiteral("processor %1 ").arg(number) : QString();
        const DeviceSimulator &simulator = processors.processor(number);
        if (options.tcp)
            out << prefix << "tcp " << simulator.tcpPort() << '\n';
        if (options.pty)
            out << prefix << "pty " << simulator.ptyPath() << '\n';
    }
    out.flush();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("rz5300-sim"));
    const Options options = parseOptions(app);

    SimulatorSet processors(options.processors);
#ifdef Q_OS_UNIX
    // SIGINT and SIGTERM end the event loop, so the terminal's link is removed.
    SignalWatcher signalWatcher;
    QObject::connect(&signalWatcher, &SignalWatcher::terminationRequested, &app, &QCoreApplication::quit);
#endif
    if (!start(processors, options))
        return 1;
    announce(processors, options);
    scheduleCuts(processors, options);
    return app.exec();
}
