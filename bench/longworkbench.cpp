// The long operations of the main window over a serial line paced at
// 115200 baud, against a device whose 16 presets hold 64 windows each: the
// connection read, Data Verify, Data Import (which ends with a verify) and
// a Take of a blind-edited preset. For each: the time the operator waits,
// the time its bytes take on the wire, their ratio (target for the verify
// and the take: 1.05 at most) and the longest time the user-interface
// thread did not run its event loop (target: under 50 ms). Then, over
// unpaced TCP, the time from a dropped link coming back to the window
// being ready, with equal tags (target: under 1 s).

#include "stallmeter.h"
#include "windowbench.h"
#include "wiretime.h"

#include <appdirectory.h>
#include <devicesimulator.h>
#include <dialog_verify.h>
#include <linksettings.h>
#include <mygraphicsview.h>
#include <simulatorthread.h>
#include <singleton_serialport.h>
#include <windowdriver.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <functional>

namespace {

using WireTime::out;

constexpr int Presets = 16;
constexpr int Windows = 64;
constexpr int AnswerEveryMs = 5;
constexpr int QuietMs = 10;
constexpr int SettleLimitMs = 120000;

// A 4 x 8 wall of 480 x 270 screens: every screen shows a whole-screen
// window with a quarter-screen one over it.
Preset fullPreset(int preset)
{
    MyGraphicsView canvas;
    const std::array<int, 8> widths{480, 480, 480, 480, 480, 480, 480, 480};
    const std::array<int, 4> heights{270, 270, 270, 270};
    canvas.initData(widths.data(), heights.data(), 4, 8);
    std::array<int, 64> layers;
    layers.fill(0xFF);
    canvas.Add_Win_layer(layers.data(), Windows);
    for (int i = 0; i < Windows; ++i) {
        const int screen = (i + preset) % 32;
        const QPoint corner(480 * (screen % 8), 270 * (screen / 8));
        const QSize size = i < 32 ? QSize(480, 270) : QSize(240, 135);
        canvas.Add_Rect(i, QRect(corner, size), QRect(0, 0, 1920 - i, 1080), (i * 3 + preset) % 224,
                        layers.data(), 0);
    }
    canvas.Add_End();
    Preset stored;
    const QByteArray all = canvas.getAllData();
    stored.windows = all.left(Preset::WindowsSize);
    stored.layers = all.mid(Preset::WindowsSize);
    stored.sources = canvas.getInData();
    stored.channels = canvas.getChData();
    return stored;
}

class Bench
{
public:
    Bench();
    void run();

private:
    double wireSeconds();
    int exchanges();
    // start() runs the operation to its end; false when it did not end.
    // The time runs to the last restart of endedAt when given (settling
    // adds the operator's pace), else to the end of start().
    void measure(const char *name, const std::function<bool()> &start, const QElapsedTimer *endedAt = nullptr);
    void measureReconnection();

    QTemporaryDir m_files;
    QTemporaryDir m_devices;
    SimulatorThread m_device; // answers while the window works, as a device does
    Singleton_SerialPort *m_link = Singleton_SerialPort::instance();
    WindowDriver m_driver{AnswerEveryMs};
    QElapsedTimer m_resultShownAt;
    QElapsedTimer m_pageClosedAt;
    StallMeter m_stalls;
};

Bench::Bench()
{
    AppDirectory::setPath(m_files.path());
    std::array<Preset, Presets> presets;
    for (int p = 0; p < Presets; ++p)
        presets[size_t(p)] = fullPreset(p);
    const QString pty = m_devices.filePath(QStringLiteral("ttyRZ"));
    bool opened = false;
    m_device.run([&](DeviceSimulator &device) {
        device.model().wall.setGrid({480, 480, 480, 480, 480, 480, 480, 480}, {270, 270, 270, 270});
        std::copy(presets.begin(), presets.end(), device.model().presets.begin());
        device.setBaudRate(WireTime::BaudRate);
        opened = device.openPty(pty);
    });
    if (!opened)
        qFatal("cannot open the simulator's terminal");
    m_link->setLinkSettings({"1", "", "0", "", "", "", pty});
    m_link->postKeptTag(QByteArray(8, 'h'), false);
    writeSettings(1);
    m_driver.quietMs = QuietMs;
    m_driver.settleLimitMs = SettleLimitMs;
    QObject::connect(&m_driver, &WindowDriver::dialogShown, [this](QDialog *dialog) {
        if (qobject_cast<Dialog_Verify *>(dialog))
            m_resultShownAt.start();
    });
    QObject::connect(m_link, &Singleton_SerialPort::setWaitPage, &m_driver, [this](bool closed) {
        if (closed)
            m_pageClosedAt.start();
    });
}

double Bench::wireSeconds()
{
    qint64 bytes = 0;
    m_device.run([&bytes](DeviceSimulator &device) { bytes = WireTime::bytes(device); });
    return WireTime::seconds(bytes);
}

int Bench::exchanges()
{
    int count = 0;
    m_device.run([&count](DeviceSimulator &device) { count = int(device.requests().size()); });
    return count;
}

void Bench::measure(const char *name, const std::function<bool()> &start, const QElapsedTimer *endedAt)
{
    m_device.run([](DeviceSimulator &device) { device.clearRequests(); });
    m_resultShownAt.invalidate();
    m_pageClosedAt.invalidate();
    QElapsedTimer clock;
    clock.start();
    m_stalls.restart();
    if (!start())
        qFatal("%s did not end", name);
    // A measure ends at its mark (a verify's result shown, a take's wait page
    // closed); settling adds the operator's pace.
    const double seconds = endedAt && endedAt->isValid()
        ? double(clock.nsecsElapsed() - endedAt->nsecsElapsed()) / 1e9
        : double(clock.nsecsElapsed()) / 1e9;
    const double wire = wireSeconds();
    out() << QStringLiteral("%1: %2 exchanges; %3 s, wire %4 s, ratio %5; longest stall %6 ms")
                 .arg(QLatin1String(name))
                 .arg(exchanges())
                 .arg(seconds, 0, 'f', 3)
                 .arg(wire, 0, 'f', 3)
                 .arg(seconds / wire, 0, 'f', 3)
                 .arg(m_stalls.longest())
          << Qt::endl;
}

void Bench::run()
{
    if (!m_driver.open())
        qFatal("the main window was not shown");
    measure("connection read", [this] { return m_driver.connectDevice(); });
    const auto triggering = [this](const char *action) {
        return [this, action] {
            m_driver.trigger(action);
            return m_driver.settle();
        };
    };
    // A verify ends when its result shows, a take when its wait page closes.
    measure("data verify", triggering("actionVerify"), &m_resultShownAt);
    out() << "  " << m_driver.verified.last().value(0) << Qt::endl;

    m_driver.fileName = m_files.filePath(QStringLiteral("full.pd"));
    m_driver.trigger("actionExport");
    measure("data import", triggering("actionImport"));
    out() << "  " << m_driver.verified.last().value(0) << Qt::endl;

    m_driver.trigger("actionBlind");
    int onAir = 0;
    m_device.run([&onAir](DeviceSimulator &device) { onAir = device.model().currentPreset; });
    m_driver.presetButton((onAir + 1) % Presets)->click();
    const QPointF corner(10, 10);
    m_driver.drag(corner, corner + QPointF(100, 50));
    if (!m_driver.settle())
        qFatal("the blind edit did not settle");
    measure("take", triggering("actionTake"), &m_pageClosedAt);
    m_driver.trigger("actionBlind");
    measureReconnection();
    m_driver.close();
}

// From the link's coming back to the window ready: linked, views enabled,
// the two status reads answered and nothing queued.
void Bench::measureReconnection()
{
    m_device.run([](DeviceSimulator &device) { device.setBaudRate(0); });
    const quint16 port = m_device.port();
    m_link->setLinkSettings({"0", "127.0.0.1", QString::number(port), "255.255.255.0", "192.168.1.1", "16-21-2C",
                             "COM1"});
    if (!m_driver.disconnectDevice() || !m_driver.connectDevice())
        qFatal("no connection over TCP");
    QElapsedTimer clock;
    QObject watcher;
    QObject::connect(m_link, &Singleton_SerialPort::linkStateChanged, &watcher, [&clock](bool up) {
        if (up)
            clock.start();
    });
    m_device.run([](DeviceSimulator &device) { device.closeTcp(); });
    if (!WindowDriver::waitFor([this] { return !m_link->isConnected(); }, SettleLimitMs))
        qFatal("the link did not drop");
    bool listening = false;
    m_device.run([port, &listening](DeviceSimulator &device) {
        listening = device.listenTcp(port);
        device.clearRequests();
    });
    if (!listening)
        qFatal("cannot listen again");
    const bool ready = WindowDriver::waitFor(
        [this] {
            return m_link->isConnected() && m_driver.viewsEnabled() && exchanges() >= 2
                && m_link->queuedFrames() == 0;
        },
        SettleLimitMs);
    if (!ready || !clock.isValid())
        qFatal("the link did not come back");
    out() << QStringLiteral("reconnection over TCP, equal tags: %1 exchanges; ready %2 s after the link came back")
                 .arg(exchanges())
                 .arg(double(clock.nsecsElapsed()) / 1e9, 0, 'f', 3)
          << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    return runWindowBench<Bench>(argc, argv);
}
