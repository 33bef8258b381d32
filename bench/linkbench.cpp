// Times the link worker against the device simulator: the connection read,
// the verify read and a full write over a paced pseudo-terminal, compared
// with the time the bytes take on a 115200 baud line, then round trips over
// TCP loopback.

#include "wiretime.h"

#include <devicesimulator.h>
#include <singleton_serialport.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <algorithm>
#include <functional>

namespace {

using WireTime::out;

constexpr int RoundTrips = 500;
constexpr int WaitMs = 60000;
constexpr int PresetWindowsSize = 1856;
constexpr int PresetSourcesSize = 512;
constexpr int PresetChannelsSize = 1472;

// Runs start, then spins the event loop until the worker closes the wait
// page (or gives up after WaitMs); returns the seconds taken.
double timeUntilIdle(Singleton_SerialPort *link, const std::function<void()> &start)
{
    QEventLoop loop;
    QObject::connect(link, &Singleton_SerialPort::setWaitPage, &loop, [&loop](bool closed) {
        if (closed)
            loop.quit();
    });
    QTimer::singleShot(WaitMs, &loop, [&loop] { loop.exit(1); });
    QElapsedTimer clock;
    clock.start();
    start();
    if (loop.exec() != 0)
        qFatal("no answer within %d ms", WaitMs);
    return double(clock.nsecsElapsed()) / 1e9;
}

void connectLink(Singleton_SerialPort *link, const QStringList &settings)
{
    link->setLinkSettings(settings);
    QEventLoop loop;
    QObject::connect(link, &Singleton_SerialPort::send_connect_end, &loop, &QEventLoop::quit);
    link->postCommand(1);
    loop.exec();
    if (!link->isConnected())
        qFatal("cannot connect to the simulator");
}

void report(const char *name, double seconds, DeviceSimulator &sim)
{
    const qint64 bytes = WireTime::bytes(sim);
    const double wireSeconds = WireTime::seconds(bytes);
    out() << QStringLiteral("%1: %2 exchanges, %3 bytes; measured %4 s, wire %5 s, ratio %6")
                 .arg(QLatin1String(name))
                 .arg(sim.requests().size())
                 .arg(bytes)
                 .arg(seconds, 0, 'f', 3)
                 .arg(wireSeconds, 0, 'f', 3)
                 .arg(seconds / wireSeconds, 0, 'f', 3)
          << Qt::endl;
}

void benchConnectionRead(Singleton_SerialPort *link, DeviceSimulator &sim)
{
    link->postForgetTags();
    sim.clearRequests();
    const double seconds = timeUntilIdle(link, [link] { link->send(LinkRequest::connectionRead()); });
    report("connection read (190)", seconds, sim);
}

void benchFullWrite(Singleton_SerialPort *link, DeviceSimulator &sim)
{
    QList<LinkRequest::Preset> presets;
    for (int p = 0; p < DeviceData::Presets; ++p) {
        presets.append({p, QByteArray(PresetWindowsSize, char(p)), QByteArray(PresetSourcesSize, char(p)),
                        QByteArray(PresetChannelsSize, char(p))});
    }
    sim.clearRequests();
    const QList<LinkRequest> batch = {LinkRequest::writeWall(FrameBuilder::wallOf(link->dm_data)),
                                      LinkRequest::writePresets(presets),
                                      LinkRequest::recall(link->dm_data.curModel)};
    const double seconds = timeUntilIdle(link, [link, &batch] { link->send(batch, Command::WriteAllWait); });
    report("full write (41, 44, 49)", seconds, sim);
}

// The verify read: the input entries, the status and the 32 preset reads, into the device's
// copy.
void benchVerifyRead(Singleton_SerialPort *link, DeviceSimulator &sim)
{
    sim.clearRequests();
    const double seconds = timeUntilIdle(link, [link] { link->send(LinkRequest::verifyRead()); });
    report("verify read (194)", seconds, sim);
}

void benchRoundTrips(Singleton_SerialPort *link, DeviceSimulator &sim)
{
    sim.clearRequests();
    QVector<double> times;
    for (int i = 0; i < RoundTrips; ++i)
        times << timeUntilIdle(link, [link] { link->send(LinkRequest::recall(0)); }) * 1000;
    std::sort(times.begin(), times.end());
    double sum = 0;
    for (double t : times)
        sum += t;
    const int p99 = std::min(int(times.size()) - 1, int(times.size() * 99 / 100));
    out() << QStringLiteral("tcp round trip (49) x %1: mean %2 ms, 99th percentile %3 ms")
                 .arg(sim.requests().size())
                 .arg(sum / times.size(), 0, 'f', 3)
                 .arg(times.at(p99), 0, 'f', 3)
          << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    DeviceSimulator sim;
    if (!dir.isValid() || !sim.openPty(dir.filePath(QStringLiteral("ttyRZ"))) || !sim.listenTcp())
        qFatal("cannot start the simulator");
    Singleton_SerialPort link;

    sim.setBaudRate(WireTime::BaudRate);
    connectLink(&link, {"1", "", "0", "", "", "", sim.ptyPath()});
    benchConnectionRead(&link, sim);
    benchVerifyRead(&link, sim);
    benchFullWrite(&link, sim);

    sim.setBaudRate(0);
    connectLink(&link, {"0", "127.0.0.1", QString::number(sim.tcpPort()), "", "", "", ""});
    benchRoundTrips(&link, sim);
    link.postCommand(2);
    return 0;
}
