// Backup sources through the main window over a pseudo-terminal paced at
// 115200 baud: (a) the time from an input's signal cut at the simulator to
// the switch to its backup acknowledged, cut at random points of the poll's
// cycle; (b) the share of the line the signal poll takes while idle.

#include "wiretime.h"
#include "windowbench.h"

#include <appdirectory.h>
#include <backupsources.h>
#include <devicesimulator.h>
#include <mainwindow.h>
#include <signalpoll.h>
#include <windowdriver.h>

#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <vector>

namespace {

using WireTime::out;

constexpr int Cuts = 10;
constexpr int Main = 2;
constexpr int Backup = 3;
constexpr int WaitMs = 30000;
constexpr int IdleSeconds = 30;

class Bench
{
public:
    Bench();
    void run();

private:
    double cutToSwitch(QRandomGenerator &random);
    void restore();
    void lineLoad();

    QTemporaryDir m_files;
    DeviceSimulator m_device;
    WindowDriver m_driver;
    int m_switches = 0;
};

Bench::Bench()
{
    AppDirectory::setPath(m_files.path());
    m_device.model().currentPreset = 0;
    m_device.setBaudRate(WireTime::BaudRate);
    if (!m_device.openPty())
        qFatal("no pseudo-terminal");
    WindowDriver::writeStartSettings({"1", "", "0", "", "", "", m_device.ptyPath()}, {});
}

void Bench::run()
{
    if (!m_driver.open() || !m_driver.connectDevice())
        qFatal("cannot connect to the simulator");
    // Input 2 backed up by input 3; back after a second of stable signal.
    BackupSources *backups = m_driver.window()->backups();
    backups->setEntries({{1, Main, {Backup}, BackupTable::Return::Auto, 1}});
    m_driver.drop(Main, QPointF(500, 300)); // the window to watch, on the preset on air
    if (!m_driver.settle())
        qFatal("the window was not sent");
    QObject::connect(backups, &BackupSources::switched, backups, [this] { ++m_switches; });
    out() << "backup switch over a paced pseudo-terminal at " << WireTime::BaudRate << " baud, poll every "
          << SignalPoll::IntervalMs << " ms\n";
    QRandomGenerator random(5300);
    std::vector<double> seconds;
    for (int i = 0; i < Cuts; ++i) {
        seconds.push_back(cutToSwitch(random));
        restore();
    }
    std::sort(seconds.begin(), seconds.end());
    out() << "  cut to switch acknowledged: median " << seconds[seconds.size() / 2] << " s, worst "
          << seconds.back() << " s over " << Cuts << " cuts\n";
    lineLoad();
    m_driver.close();
}

double Bench::cutToSwitch(QRandomGenerator &random)
{
    WindowDriver::waitFor([] { return false; }, int(random.bounded(SignalPoll::IntervalMs)));
    const int before = m_switches;
    QElapsedTimer clock;
    clock.start();
    m_device.setSignal(Main, false);
    if (!WindowDriver::waitFor([this, before] { return m_switches > before; }, WaitMs))
        qFatal("no switch within %d ms", WaitMs);
    return double(clock.nsecsElapsed()) / 1e9;
}

void Bench::restore()
{
    const int before = m_switches;
    m_device.setSignal(Main, true);
    if (!WindowDriver::waitFor([this, before] { return m_switches > before; }, WaitMs))
        qFatal("no return within %d ms", WaitMs);
}

// Only the poll talks while the window is idle.
void Bench::lineLoad()
{
    m_device.clearRequests();
    QElapsedTimer clock;
    clock.start();
    WindowDriver::waitFor([] { return false; }, IdleSeconds * 1000);
    const qint64 bytes = WireTime::bytes(m_device);
    const double elapsed = double(clock.nsecsElapsed()) / 1e9;
    out() << "  idle line: " << m_device.requests().size() << " reads, " << bytes << " bytes in " << elapsed
          << " s, " << 100.0 * WireTime::seconds(bytes) / elapsed << " % of the line\n";
}

} // namespace

int main(int argc, char *argv[])
{
    return runWindowBench<Bench>(argc, argv);
}
