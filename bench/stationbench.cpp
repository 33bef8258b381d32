// A station of several processors, each a main window with its files in a
// folder of its own, against simulated processors in a thread of their
// own on pseudo-terminals paced at 115200 baud:
//  - memory: resident memory with 1, 2, 4 and 8 windows linked and read,
//    and what each processor adds;
//  - four windows connecting at once: the longest stall of the windows'
//    thread (target under 50 ms) and each connection read against the
//    time its bytes take on the wire (target 1.05 at most);
//  - a look over the four, from its start to the last confirmation,
//    against the slowest of the four recalls made alone on the same lines
//    (target 1.1 at most: the links work in parallel), 20 times.

#include "processstatus.h"
#include "simulatorsetthread.h"
#include "stallmeter.h"
#include "windowbench.h"
#include "wiretime.h"

#include <devicesimulator.h>
#include <lookrecall.h>
#include <looktarget.h>
#include <mainwindow.h>
#include <processortarget.h>
#include <simulatorset.h>
#include <singleton_serialport.h>
#include <windowdriver.h>

#include <QAction>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <array>
#include <memory>
#include <utility>
#include <vector>

namespace {

using WireTime::out;

constexpr int LookProcessors = 4;
constexpr int Repeats = 20;
constexpr int Presets = 16;
constexpr int WaitMs = 60000;
constexpr int SettleMs = 500;
constexpr std::array<int, 4> MemorySteps{1, 2, 4, 8};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(values.size() / 2);
}

double worst(const std::vector<double> &values)
{
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

double megabytes(qint64 kilobytes)
{
    return double(kilobytes) / 1024;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    return QString::fromLatin1(file.readAll().split(' ').mid(0, 3).join(' '));
}

// The event loop runs for ms, so that what the windows started settles.
void pause(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// One processor of the station: its window, its files in a folder of
// its own, its link on the simulated processor's terminal.
class ProcessorWindow
{
public:
    explicit ProcessorWindow(const QString &pty)
        : m_window(m_folder.path(), false)
    {
        m_window.show();
        // The window reads its folder's settings once its loop runs: the
        // line is set after that.
        Singleton_SerialPort *link = m_window.link();
        const QString folder = m_folder.path();
        if (!WindowDriver::waitFor([link, folder] { return link->dm_data.settingsPath.startsWith(folder); },
                                   WaitMs))
            qFatal("the window did not read its folder");
        link->setLinkSettings({"1", "", "0", "", "", "", pty});
    }

    Singleton_SerialPort *link() const { return m_window.link(); }
    MainWindow *window() { return &m_window; }
    void connectDevice() { m_window.findChild<QAction *>(QStringLiteral("actionConnect"))->trigger(); }

private:
    QTemporaryDir m_folder;
    MainWindow m_window;
};

class Bench
{
public:
    Bench();
    void run();

private:
    // Windows for the processors up to count, each on its own.
    void openWindows(int count);
    // Connects the windows from first on at once; the seconds each took
    // from the connect to the end of its read.
    std::vector<double> connectAtOnce(int first);
    bool idle() const;
    // The requests the processors from number on saw are forgotten.
    void clearRequests(int number);
    // What processor number saw since: exchanges, and their time on the wire.
    std::pair<int, double> wireOf(int number);
    void measureMemory();
    void measureConnections();
    void measureLooks();
    double recallSeconds(const Look &look, const QList<LookTarget *> &targets);

    QTemporaryDir m_devices;
    SimulatorSetThread m_processors{SimulatorSet::MaxProcessors};
    std::vector<std::unique_ptr<ProcessorWindow>> m_windows; // after the processors they talk to
    StallMeter m_stalls;
    QStringList m_table;
};

Bench::Bench()
{
    QString error;
    bool opened = false;
    const QString pty = m_devices.filePath(QStringLiteral("ttyRZ"));
    m_processors.run([&](SimulatorSet &set) {
        opened = set.openPty(pty, &error);
        set.setBaudRate(WireTime::BaudRate);
    });
    if (!opened)
        qFatal("cannot open the simulators' terminals: %s", qPrintable(error));
}

void Bench::openWindows(int count)
{
    while (int(m_windows.size()) < count) {
        const int number = int(m_windows.size()) + 1;
        m_windows.push_back(std::make_unique<ProcessorWindow>(
            SimulatorSet::linkPath(m_devices.filePath(QStringLiteral("ttyRZ")), number)));
    }
}

std::vector<double> Bench::connectAtOnce(int first)
{
    const int count = int(m_windows.size()) - first;
    clearRequests(first + 1);
    // A read ends when the link closes its wait page with nothing queued.
    std::vector<double> seconds(size_t(count), -1);
    QObject watch;
    QElapsedTimer clock;
    for (int i = 0; i < count; ++i) {
        QObject::connect(m_windows.at(size_t(first) + size_t(i))->link(), &Singleton_SerialPort::setWaitPage, &watch,
                         [&seconds, &clock, i](bool closed) {
                             if (closed)
                                 seconds[size_t(i)] = double(clock.nsecsElapsed()) / 1e9;
                         });
    }
    clock.start();
    for (int i = first; i < int(m_windows.size()); ++i)
        m_windows.at(size_t(i))->connectDevice();
    const auto allRead = [this, first, &seconds] {
        for (int i = first; i < int(m_windows.size()); ++i) {
            const Singleton_SerialPort *link = m_windows.at(size_t(i))->link();
            if (!link->state()->isReady() || link->queuedFrames() != 0 || seconds[size_t(i - first)] < 0)
                return false;
        }
        return true;
    };
    if (!WindowDriver::waitFor(allRead, WaitMs))
        qFatal("not every window connected within %d ms", WaitMs);
    return seconds;
}

void Bench::clearRequests(int number)
{
    m_processors.run([number](SimulatorSet &set) {
        for (int n = number; n <= set.count(); ++n)
            set.processor(n).clearRequests();
    });
}

std::pair<int, double> Bench::wireOf(int number)
{
    qint64 bytes = 0;
    int exchanges = 0;
    m_processors.run([number, &bytes, &exchanges](SimulatorSet &set) {
        bytes = WireTime::bytes(set.processor(number));
        exchanges = int(set.processor(number).requests().size());
    });
    return {exchanges, WireTime::seconds(bytes)};
}

bool Bench::idle() const
{
    return std::all_of(m_windows.begin(), m_windows.end(),
                       [](const auto &window) { return window->link()->queuedFrames() == 0; });
}

// The simulators are there from the start: what grows is the windows'.
void Bench::measureMemory()
{
    pause(SettleMs);
    const qint64 none = ProcessStatus::kilobytes("VmRSS");
    QStringList steps{QStringLiteral("none %1 MB").arg(megabytes(none), 0, 'f', 1)};
    std::array<qint64, MemorySteps.size()> resident{};
    for (size_t step = 0; step < MemorySteps.size(); ++step) {
        const int before = int(m_windows.size());
        openWindows(MemorySteps.at(step));
        connectAtOnce(before);
        pause(SettleMs);
        resident.at(step) = ProcessStatus::kilobytes("VmRSS");
        steps << QStringLiteral("%1: %2 MB").arg(MemorySteps.at(step)).arg(megabytes(resident.at(step)), 0, 'f', 1);
    }
    const double perProcessor =
        megabytes(resident.back() - resident.front()) / (MemorySteps.back() - MemorySteps.front());
    out() << "resident memory, windows linked and read: " << steps.join(QStringLiteral(", ")) << Qt::endl;
    m_table << QStringLiteral("memory | %1 | %2 MB a processor (1 to 8 windows)")
                   .arg(steps.join(QStringLiteral(", ")))
                   .arg(perProcessor, 0, 'f', 2);
    m_windows.clear();
}

void Bench::measureConnections()
{
    openWindows(LookProcessors);
    pause(SettleMs);
    m_stalls.restart();
    const std::vector<double> seconds = connectAtOnce(0);
    const qint64 stall = m_stalls.longest();
    std::vector<double> ratios;
    for (int i = 0; i < LookProcessors; ++i) {
        const auto [exchanges, wire] = wireOf(i + 1);
        ratios.push_back(seconds.at(size_t(i)) / wire);
        out() << QStringLiteral("connection read %1: %2 exchanges; %3 s, wire %4 s, ratio %5")
                     .arg(i + 1)
                     .arg(exchanges)
                     .arg(seconds.at(size_t(i)), 0, 'f', 3)
                     .arg(wire, 0, 'f', 3)
                     .arg(ratios.back(), 0, 'f', 3)
              << Qt::endl;
    }
    out() << "longest stall of the windows' thread: " << stall << " ms" << Qt::endl;
    m_table << QStringLiteral("4 connecting at once | longest stall %1 ms; read/wire %2 to %3 | < 50 ms; <= 1.05")
                   .arg(stall)
                   .arg(*std::min_element(ratios.begin(), ratios.end()), 0, 'f', 3)
                   .arg(worst(ratios), 0, 'f', 3);
}

double Bench::recallSeconds(const Look &look, const QList<LookTarget *> &targets)
{
    if (!WindowDriver::waitFor([this] { return idle(); }, WaitMs))
        qFatal("the links did not come to rest");
    LookRecall recall(look, targets);
    QEventLoop loop;
    QElapsedTimer clock;
    double seconds = 0;
    // Read at the signal: a wait page's own loop may hold this one a while.
    QObject::connect(&recall, &LookRecall::finished, &loop, [&] {
        seconds = double(clock.nsecsElapsed()) / 1e9;
        loop.quit();
    });
    clock.start();
    recall.start();
    if (!recall.isFinished())
        loop.exec();
    if (!recall.succeeded())
        qFatal("the look %s was not confirmed", qPrintable(look.name));
    return seconds;
}

// Each round recalls one preset on each processor alone, then another on
// all four at once, so that every recall changes the preset on air.
void Bench::measureLooks()
{
    QList<LookTarget *> targets;
    QObject owner;
    for (int i = 0; i < LookProcessors; ++i)
        targets << processorTarget(QStringLiteral("P%1").arg(i + 1), m_windows.at(size_t(i))->window(),
                                   RemoteActions::ByOperator, &owner);
    std::vector<double> looks;
    std::vector<double> slowest;
    std::vector<double> ratios;
    for (int round = 0; round < Repeats; ++round) {
        double alone = 0;
        Look look{QStringLiteral("round %1").arg(round), {}};
        for (int i = 0; i < LookProcessors; ++i) {
            const int preset = (round + i) % (Presets / 2);
            alone = std::max(alone, recallSeconds({QStringLiteral("alone"), {{i, preset}}}, targets));
            look.entries.append({i, preset + Presets / 2});
        }
        looks.push_back(recallSeconds(look, targets));
        slowest.push_back(alone);
        ratios.push_back(looks.back() / alone);
    }
    clearRequests(1);
    recallSeconds({QStringLiteral("alone"), {{0, 0}}}, targets);
    const auto [exchanges, wire] = wireOf(1);
    out() << QStringLiteral("a recall alone: %1 exchange, wire %2 ms").arg(exchanges).arg(wire * 1000, 0, 'f', 1)
          << Qt::endl;
    out() << QStringLiteral("look over %1 x %2: median %3 ms, worst %4 ms; slowest recall alone: median %5 ms, "
                            "worst %6 ms; ratio median %7, worst %8")
                 .arg(LookProcessors)
                 .arg(Repeats)
                 .arg(median(looks) * 1000, 0, 'f', 1)
                 .arg(worst(looks) * 1000, 0, 'f', 1)
                 .arg(median(slowest) * 1000, 0, 'f', 1)
                 .arg(worst(slowest) * 1000, 0, 'f', 1)
                 .arg(median(ratios), 0, 'f', 3)
                 .arg(worst(ratios), 0, 'f', 3)
          << Qt::endl;
    m_table << QStringLiteral("look over 4, %1 runs | look %2 ms, slowest alone %3 ms (medians); ratio median %4, "
                              "worst %5 | <= 1.1")
                   .arg(Repeats)
                   .arg(median(looks) * 1000, 0, 'f', 1)
                   .arg(median(slowest) * 1000, 0, 'f', 1)
                   .arg(median(ratios), 0, 'f', 3)
                   .arg(worst(ratios), 0, 'f', 3);
}

void Bench::run()
{
    const QString loadBefore = loadAverage();
    measureMemory();
    measureConnections();
    measureLooks();
    m_windows.clear();
    out() << Qt::endl << "measure | result | target" << Qt::endl;
    for (const QString &row : std::as_const(m_table))
        out() << row << Qt::endl;
    out() << "load average " << loadBefore << " before, " << loadAverage() << " after" << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    return runWindowBench<Bench>(argc, argv);
}
