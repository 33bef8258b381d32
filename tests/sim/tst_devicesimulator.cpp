#include "devicesimulator.h"
#include "faultinjector.h"
#include "requestframes.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QtTest>

using namespace RequestFrames;

namespace {

constexpr int FlagsLength = 19;
constexpr int WindowsLength = 1867;

// Collects bytes from the device until there are at least count of them.
bool waitForBytes(QIODevice &device, QByteArray *received, int count, int timeoutMs = 5000)
{
    return QTest::qWaitFor([&] {
        received->append(device.readAll());
        return received->size() >= count;
    }, timeoutMs);
}

} // namespace

// The simulator behind its transports, with pacing and faults.
class TestDeviceSimulator : public QObject
{
    Q_OBJECT

private slots:
    void pacingTakesLineTime();
    void injectorIsSeededAndKeepsBytes();
    void delayHoldsReplies();
    void hangUpAfterN();
    void unplugAfterN();

private:
    void connectTcp(DeviceSimulator &simulator, QTcpSocket &socket);
    void openPort(DeviceSimulator &simulator, QSerialPort &port);
};

void TestDeviceSimulator::connectTcp(DeviceSimulator &simulator, QTcpSocket &socket)
{
    QVERIFY(simulator.listenTcp());
    QVERIFY(simulator.tcpPort() != 0);
    socket.connectToHost(QHostAddress::LocalHost, simulator.tcpPort());
    QTRY_COMPARE(socket.state(), QAbstractSocket::ConnectedState);
}

void TestDeviceSimulator::openPort(DeviceSimulator &simulator, QSerialPort &port)
{
    QVERIFY(simulator.openPty());
    QVERIFY(!simulator.ptyPath().isEmpty());
    port.setPortName(simulator.ptyPath());
    port.setBaudRate(QSerialPort::Baud115200);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

void TestDeviceSimulator::pacingTakesLineTime()
{
#ifndef Q_OS_UNIX
    QSKIP("no pseudo-terminal on this system");
#endif
    DeviceSimulator simulator;
    simulator.setBaudRate(115200);
    QSerialPort port;
    openPort(simulator, port);

    const QByteArray request = read(0x1A, 0);
    QElapsedTimer clock;
    clock.start();
    port.write(request);
    QByteArray reply;
    QVERIFY(waitForBytes(port, &reply, WindowsLength));
    const double seconds = clock.nsecsElapsed() / 1e9;
    const double lineSeconds = (request.size() + WindowsLength) * 10 / 115200.0;
    QVERIFY2(seconds >= 0.9 * lineSeconds, qPrintable(QStringLiteral("%1 s").arg(seconds)));
    QCOMPARE(reply.size(), WindowsLength);
}

void TestDeviceSimulator::injectorIsSeededAndKeepsBytes()
{
    FaultOptions options;
    options.splitReplies = true;
    options.noiseEvery = 2;
    options.overrunEvery = 3;
    options.seed = 42;
    FaultInjector first(options);
    FaultInjector second(options);
    const QByteArray reply = QByteArray::fromHex("200100130401aa011c0000000000000000aa20");
    const QByteArray request = read(0x1C);
    for (int number = 1; number <= 6; ++number) {
        const QByteArrayList pieces = first.shape(number, request, reply);
        QCOMPARE(pieces, second.shape(number, request, reply));
        QVERIFY(pieces.size() >= 2 && pieces.size() <= 4);
        const QByteArray joined = pieces.join();
        const int noise = number % 2 == 0 ? joined.indexOf(reply) : 0;
        const int overrun = joined.size() - noise - reply.size();
        QCOMPARE(joined.mid(noise, reply.size()), reply);
        QCOMPARE(noise > 0, number % 2 == 0);
        QCOMPARE(overrun > 0, number % 3 == 0);
        QVERIFY(noise <= 8 && overrun <= 8);
    }

    options = {};
    options.muteCode = 0x1C;
    options.lateRequest = 4;
    options.lateMs = 700;
    const FaultInjector muted(options);
    QVERIFY(FaultInjector(options).shape(1, request, reply).isEmpty());
    QCOMPARE(FaultInjector(options).shape(1, read(0x13), reply), QByteArrayList{reply});
    QCOMPARE(QList<int>({muted.delayMs(4), muted.delayMs(5)}), QList<int>({700, 0}));
}

void TestDeviceSimulator::delayHoldsReplies()
{
    DeviceSimulator simulator;
    FaultOptions options;
    options.delayMs = 1000;
    simulator.setFaults(options);
    QTcpSocket socket;
    connectTcp(simulator, socket);
    QElapsedTimer clock;
    clock.start();
    socket.write(read(0x1C));
    QByteArray reply;
    QVERIFY(waitForBytes(socket, &reply, FlagsLength));
    QVERIFY(clock.elapsed() >= 900);
}

void TestDeviceSimulator::hangUpAfterN()
{
    DeviceSimulator simulator;
    FaultOptions options;
    options.hangUpAfter = 2;
    simulator.setFaults(options);
    QTcpSocket socket;
    connectTcp(simulator, socket);
    socket.write(read(0x1C));
    QByteArray replies;
    QVERIFY(waitForBytes(socket, &replies, FlagsLength));
    QCOMPARE(socket.state(), QAbstractSocket::ConnectedState);
    socket.write(read(0x1C));
    QVERIFY(waitForBytes(socket, &replies, 2 * FlagsLength));
    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(replies.size(), 2 * FlagsLength);
}

void TestDeviceSimulator::unplugAfterN()
{
#ifndef Q_OS_UNIX
    QSKIP("no pseudo-terminal on this system");
#endif
    DeviceSimulator simulator;
    QSignalSpy closed(&simulator, &DeviceSimulator::ptyClosed);
    FaultOptions options;
    options.unplugAfter = 1;
    simulator.setFaults(options);
    QSerialPort port;
    openPort(simulator, port);
    port.write(read(0x1C));
    QByteArray reply;
    QVERIFY(waitForBytes(port, &reply, FlagsLength));
    QTRY_COMPARE(closed.count(), 1);
    QVERIFY(simulator.ptyPath().isEmpty());
}

QTEST_GUILESS_MAIN(TestDeviceSimulator)

#include "tst_devicesimulator.moc"
