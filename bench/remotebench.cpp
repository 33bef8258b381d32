// The remote control of the main window, against a simulator on TCP in a
// thread of its own, with JSON-RPC clients in another:
//  - a recall through the API, from request to result, less the device's
//    exchange (the same recall posted on the link itself, from the post to
//    the link's idle): median and 99th percentile (targets 2 and 10 ms);
//  - eight subscribed clients: from the device taking a recall to each
//    client's preset.recalled (target: within 50 ms);
//  - 100 requests a second for 60 s, then 1000 a second for 10 s: every
//    request answered or refused busy, the longest stall of the window's
//    thread (target under 50 ms), and its memory before and after.

#include "processstatus.h"
#include "stallmeter.h"
#include "windowbench.h"
#include "wiretime.h"

#include <appdirectory.h>
#include <devicesimulator.h>
#include <remotesettings.h>
#include <settingsfile.h>
#include <simulatorthread.h>
#include <singleton_serialport.h>
#include <windowdriver.h>

#include <QAbstractButton>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebSocket>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <vector>

namespace {

using WireTime::out;
using Clock = std::chrono::steady_clock;

constexpr int Recalls = 200;
constexpr int Subscribers = 8;
constexpr int FanOutRecalls = 50;
constexpr int WaitMs = 120000;

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

double percentile(std::vector<double> values, double share)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values.at(std::min(values.size() - 1, size_t(share * double(values.size()))));
}

QString call(int id, const char *method, const QString &params = QString())
{
    return QStringLiteral(R"({"jsonrpc":"2.0","id":%1,"method":"%2"%3})")
        .arg(id)
        .arg(QLatin1String(method))
        .arg(params.isEmpty() ? QString() : QStringLiteral(",\"params\":") + params);
}

QString recall(int id, int preset)
{
    return call(id, "preset.recall", QStringLiteral(R"({"preset":%1})").arg(preset));
}

// The clients, living in a thread of their own; each phase runs there and
// sets done when it has ended.
class Clients : public QObject
{
public:
    std::atomic<bool> done{false};
    std::vector<double> latenciesMs;                    // of the recalls, request to result
    std::vector<std::vector<Clock::time_point>> heard;  // notifications, per client
    int answered = 0;
    int busy = 0;
    int sent = 0;

    void open(const QUrl &url, int count)
    {
        heard.assign(size_t(count), {});
        for (int i = 0; i < count; ++i) {
            auto *socket = new QWebSocket(QString(), QWebSocketProtocol::VersionLatest, this);
            connect(socket, &QWebSocket::connected, this, [this] { countConnected(); });
            connect(socket, &QWebSocket::textMessageReceived, this,
                    [this, i](const QString &text) { received(i, text); });
            m_sockets.append(socket);
            socket->open(url);
        }
    }

    // One recall at a time from the first client, each sent when the last
    // is answered.
    void recallInTurn(int count)
    {
        m_turns = count;
        m_onAnswer = [this] {
            latenciesMs.push_back(msBetween(m_sentAt, Clock::now()));
            if (--m_turns > 0)
                sendRecall();
            else
                done = true;
        };
        sendRecall();
    }

    // Requests at a steady rate for a while, a recall among every four.
    void load(int perSecond, int seconds)
    {
        sent = answered = busy = 0;
        m_onAnswer = [this] {
            if (!m_timer.isActive() && answered == sent)
                done = true;
        };
        const int total = perSecond * seconds;
        m_timer.disconnect();
        connect(&m_timer, &QTimer::timeout, this, [this, total] {
            const int id = ++sent;
            m_sockets.first()->sendTextMessage(id % 4 == 0 ? recall(id, id % 16 + 1)
                                               : id % 4 == 1 ? call(id, "status")
                                               : id % 4 == 2 ? call(id, "presets.list")
                                                             : call(id, "inputs.list"));
            if (sent == total)
                m_timer.stop();
        });
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.start(1000 / perSecond);
    }

    bool allConnected() const { return m_connected == m_sockets.size(); }

private:
    void countConnected()
    {
        if (++m_connected == m_sockets.size()) {
            for (QWebSocket *socket : std::as_const(m_sockets))
                socket->sendTextMessage(QStringLiteral(
                    R"({"jsonrpc":"2.0","method":"subscribe","params":{"topics":["preset.recalled"]}})"));
        }
    }

    void sendRecall()
    {
        const int id = ++m_id;
        m_sentAt = Clock::now();
        m_sockets.first()->sendTextMessage(recall(id, id % 16 + 1));
    }

    void received(int client, const QString &text)
    {
        const QJsonObject message = QJsonDocument::fromJson(text.toUtf8()).object();
        if (!message.contains(QStringLiteral("id"))) {
            heard[size_t(client)].push_back(Clock::now());
            return;
        }
        ++answered;
        if (message.value(QStringLiteral("error")).toObject().value(QStringLiteral("code")).toInt() == -32001)
            ++busy;
        if (m_onAnswer)
            m_onAnswer();
    }

    QList<QWebSocket *> m_sockets;
    int m_connected = 0;
    int m_id = 0;
    int m_turns = 0;
    Clock::time_point m_sentAt;
    std::function<void()> m_onAnswer;
    QTimer m_timer{this};
};

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

class Bench
{
public:
    Bench();
    ~Bench();
    void run();

private:
    // Runs the work in the clients' thread, then the window's event loop
    // until the clients say they are done.
    void inClients(const std::function<void(Clients &)> &work);
    void measureRecalls();
    void measureFanOut();
    void measureLoad(int perSecond, int seconds);
    std::vector<double> bareRecallsMs();
    // What the clients hold, asked in their thread.
    template<typename T> T fromClients(const std::function<T(Clients &)> &ask);

    QTemporaryDir m_files;
    SimulatorThread m_device;
    Singleton_SerialPort *m_link = nullptr; // the window's, once it is open
    WindowDriver m_driver;
    StallMeter m_stalls;
    QThread m_clientThread;
    Clients *m_clients = new Clients;
    quint16 m_wsPort = freePort();
    std::mutex m_acksLock;
    std::vector<Clock::time_point> m_acks; // the device taking each recall
};

Bench::Bench()
{
    AppDirectory::setPath(m_files.path());
    WindowDriver::writeStartSettings({"0", "127.0.0.1", QString::number(m_device.port()), "255.255.255.0",
                                      "192.168.1.1", "16-21-2C", "COM1"},
                                     {});
    RemoteSettings remote;
    remote.enabled = true;
    remote.wsPort = m_wsPort;
    remote.oscPort = freePort();
    RemoteSettings::write(SettingsFile::path(), remote);
    m_device.run([this](DeviceSimulator &device) {
        QObject::connect(&device, &DeviceSimulator::requestReceived, &device, [this](const QByteArray &request) {
            if (quint8(request.at(8)) == 0x49) {
                const std::lock_guard<std::mutex> lock(m_acksLock);
                m_acks.push_back(Clock::now());
            }
        });
    });
    m_clientThread.start();
    m_clients->moveToThread(&m_clientThread);
}

Bench::~Bench()
{
    QMetaObject::invokeMethod(m_clients, [this] { delete m_clients; }, Qt::BlockingQueuedConnection);
    m_clientThread.quit();
    m_clientThread.wait();
}

void Bench::inClients(const std::function<void(Clients &)> &work)
{
    m_clients->done = false;
    QMetaObject::invokeMethod(m_clients, [this, work] { work(*m_clients); }, Qt::QueuedConnection);
    if (!WindowDriver::waitFor([this] { return m_clients->done.load(); }, WaitMs))
        qFatal("the clients did not finish");
}

template<typename T> T Bench::fromClients(const std::function<T(Clients &)> &ask)
{
    T value{};
    QMetaObject::invokeMethod(m_clients, [this, &ask, &value] { value = ask(*m_clients); },
                              Qt::BlockingQueuedConnection);
    return value;
}

void Bench::run()
{
    if (!m_driver.open())
        qFatal("the main window was not shown");
    m_link = m_driver.window()->link();
    if (!m_driver.connectDevice())
        qFatal("the main window did not link");
    QMetaObject::invokeMethod(m_clients, [this] {
        m_clients->open(QUrl(QStringLiteral("ws://127.0.0.1:%1").arg(m_wsPort)), Subscribers);
    });
    if (!WindowDriver::waitFor([this] { return m_clients->allConnected(); }, WaitMs) || !m_driver.settle())
        qFatal("the clients did not connect");
    measureRecalls();
    measureFanOut();
    measureLoad(100, 60);
    measureLoad(1000, 10);
    m_driver.close();
}

// The same recall posted on the link, from the post to the link's idle:
// the device's exchange and the link's own work.
std::vector<double> Bench::bareRecallsMs()
{
    std::vector<double> times;
    std::atomic<bool> idle{false};
    Clock::time_point idleAt;
    QObject watcher;
    QObject::connect(m_link, &Singleton_SerialPort::setWaitPage, &watcher, [&idle, &idleAt](bool closed) {
        if (closed && !idle) {
            idleAt = Clock::now();
            idle = true;
        }
    }, Qt::DirectConnection);
    for (int i = 0; i < Recalls; ++i) {
        idle = false;
        const Clock::time_point start = Clock::now();
        m_link->send(LinkRequest::recall(i % 16));
        if (!WindowDriver::waitFor([&idle] { return idle.load(); }, WaitMs))
            qFatal("a recall went unanswered");
        times.push_back(msBetween(start, idleAt));
        m_driver.settle();
    }
    return times;
}

void Bench::measureRecalls()
{
    const double exchange = percentile(bareRecallsMs(), 0.5);
    m_driver.presetButton(0)->click();
    m_driver.settle();
    inClients([](Clients &clients) {
        clients.latenciesMs.clear();
        clients.recallInTurn(Recalls);
    });
    std::vector<double> overhead;
    for (double ms : m_clients->latenciesMs)
        overhead.push_back(ms - exchange);
    out() << QStringLiteral("recall through the API, %1 times: the device's exchange %2 ms (median); beyond it, "
                            "median %3 ms, 99th percentile %4 ms")
                 .arg(Recalls)
                 .arg(exchange, 0, 'f', 2)
                 .arg(percentile(overhead, 0.5), 0, 'f', 2)
                 .arg(percentile(overhead, 0.99), 0, 'f', 2)
          << Qt::endl;
}

// Each recall's notification at each client, against the moment the
// device took that recall.
void Bench::measureFanOut()
{
    m_driver.settle();
    {
        const std::lock_guard<std::mutex> lock(m_acksLock);
        m_acks.clear();
    }
    inClients([](Clients &clients) {
        for (auto &times : clients.heard)
            times.clear();
        clients.recallInTurn(FanOutRecalls);
    });
    const auto heard = [this] {
        return fromClients<std::vector<std::vector<Clock::time_point>>>([](Clients &c) { return c.heard; });
    };
    WindowDriver::waitFor([&heard] { return heard().back().size() >= size_t(FanOutRecalls); }, WaitMs);
    std::vector<double> delays;
    const std::lock_guard<std::mutex> lock(m_acksLock);
    for (const auto &times : heard()) {
        for (size_t k = 0; k < times.size() && k < m_acks.size(); ++k)
            delays.push_back(msBetween(m_acks.at(k), times.at(k)));
    }
    out() << QStringLiteral("%1 subscribed clients, %2 recalls: preset.recalled after the device took the recall, "
                            "median %3 ms, 99th percentile %4 ms, longest %5 ms")
                 .arg(Subscribers)
                 .arg(FanOutRecalls)
                 .arg(percentile(delays, 0.5), 0, 'f', 2)
                 .arg(percentile(delays, 0.99), 0, 'f', 2)
                 .arg(percentile(delays, 1), 0, 'f', 2)
          << Qt::endl;
}

void Bench::measureLoad(int perSecond, int seconds)
{
    m_driver.settle();
    const qint64 before = ProcessStatus::kilobytes("VmRSS");
    m_stalls.restart();
    inClients([perSecond, seconds](Clients &clients) { clients.load(perSecond, seconds); });
    const qint64 stall = m_stalls.longest();
    out() << QStringLiteral("%1 requests a second for %2 s: %3 sent, %4 answered (%5 busy); longest stall of the "
                            "window's thread %6 ms; memory %7 MB before, %8 MB after")
                 .arg(perSecond)
                 .arg(seconds)
                 .arg(m_clients->sent)
                 .arg(m_clients->answered)
                 .arg(m_clients->busy)
                 .arg(stall)
                 .arg(double(before) / 1024, 0, 'f', 1)
                 .arg(double(ProcessStatus::kilobytes("VmRSS")) / 1024, 0, 'f', 1)
          << Qt::endl;
}

} // namespace

int main(int argc, char *argv[])
{
    return runWindowBench<Bench>(argc, argv);
}
