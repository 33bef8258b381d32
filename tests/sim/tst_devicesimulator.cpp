#include "deviceprotocol.h"
#include "devicesimulator.h"
#include "faultinjector.h"
#include "requestframes.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

using namespace RequestFrames;

namespace {

constexpr int StatusLength = 362;
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
    void tcpClientGetsReplies();
    void hangUpClosesTcpClients();
    void ptyClientGetsReplies();
    void closePtyIsSeenByClient();
    void pacingTakesLineTime();
    void injectorIsSeededAndKeepsBytes();
    void dropEveryNth();
    void delayHoldsReplies();
    void splitNoiseAndOverrun();
    void hangUpAfterN();
    void unplugAfterN();

private:
    void connectTcp(DeviceSimulator &simulator, QTcpSocket &socket);
    void openPort(DeviceSimulator &simulator, QSerialPort &port, const QString &link = {});
};

void TestDeviceSimulator::connectTcp(DeviceSimulator &simulator, QTcpSocket &socket)
{
    QVERIFY(simulator.listenTcp());
    QVERIFY(simulator.tcpPort() != 0);
    socket.connectToHost(QHostAddress::LocalHost, simulator.tcpPort());
    QTRY_COMPARE(socket.state(), QAbstractSocket::ConnectedState);
}

void TestDeviceSimulator::openPort(DeviceSimulator &simulator, QSerialPort &port, const QString &link)
{
    QVERIFY(simulator.openPty(link));
    QVERIFY(!simulator.ptyPath().isEmpty());
    port.setPortName(simulator.ptyPath());
    port.setBaudRate(QSerialPort::Baud115200);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

void TestDeviceSimulator::tcpClientGetsReplies()
{
    DeviceSimulator simulator;
    QSignalSpy received(&simulator, &DeviceSimulator::requestReceived);
    QTcpSocket socket;
    connectTcp(simulator, socket);

    const QByteArray recall = write(0x49, QByteArray::fromHex("06"), tag(0x50));
    const QByteArray status = read(0x19);
    socket.write(recall.left(7));
    socket.flush();
    QTest::qWait(50);
    socket.write(recall.mid(7) + status);
    QByteArray replies;
    QVERIFY(waitForBytes(socket, &replies, 8 + StatusLength));
    QCOMPARE(replies.left(8), QByteArray::fromHex("2001ff080401aa20"));
    QCOMPARE(quint8(replies.at(8 + 287)), quint8(6));
    QCOMPARE(replies.mid(8 + 352, 8), tag(0x50));
    QCOMPARE(simulator.requests(), (QByteArrayList{recall, status}));
    QCOMPARE(received.count(), 2);
    QCOMPARE(simulator.model().currentPreset, 6);
}

void TestDeviceSimulator::hangUpClosesTcpClients()
{
    DeviceSimulator simulator;
    QTcpSocket socket;
    connectTcp(simulator, socket);
    QTest::qWait(50);
    simulator.hangUp();
    QTRY_COMPARE(socket.state(), QAbstractSocket::UnconnectedState);
    QTcpSocket again;
    again.connectToHost(QHostAddress::LocalHost, simulator.tcpPort());
    QTRY_COMPARE(again.state(), QAbstractSocket::ConnectedState);
}

void TestDeviceSimulator::ptyClientGetsReplies()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyRZ"));
    DeviceSimulator simulator;
    QSerialPort port;
    openPort(simulator, port, link);
    QCOMPARE(simulator.ptyPath(), link);
    QVERIFY(QFileInfo(link).isSymLink());

    port.write(read(0x13));
    QByteArray reply;
    QVERIFY(waitForBytes(port, &reply, 134));
    QCOMPARE(reply.size(), 134);
    QCOMPARE(reply.mid(9, 3), QByteArray::fromHex("030104"));
    QCOMPARE(simulator.requests(), QByteArrayList{read(0x13)});
}

void TestDeviceSimulator::closePtyIsSeenByClient()
{
    QTemporaryDir dir;
    const QString link = dir.filePath(QStringLiteral("ttyRZ"));
    DeviceSimulator simulator;
    QSignalSpy closed(&simulator, &DeviceSimulator::ptyClosed);
    QSerialPort port;
    openPort(simulator, port, link);
    QSignalSpy errors(&port, &QSerialPort::errorOccurred);

    simulator.closePty();
    QCOMPARE(closed.count(), 1);
    QVERIFY(!QFileInfo::exists(link) && !QFileInfo(link).isSymLink());
    QVERIFY(simulator.ptyPath().isEmpty());
    port.write(read(0x13));
    QTRY_VERIFY(port.error() != QSerialPort::NoError);
    QVERIFY(errors.count() > 0);
}

void TestDeviceSimulator::pacingTakesLineTime()
{
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
    for (int number = 1; number <= 6; ++number) {
        const QByteArrayList pieces = first.shape(number, reply);
        QCOMPARE(pieces, second.shape(number, reply));
        QVERIFY(pieces.size() >= 2 && pieces.size() <= 4);
        const QByteArray joined = pieces.join();
        const int noise = number % 2 == 0 ? joined.indexOf(reply) : 0;
        const int overrun = joined.size() - noise - reply.size();
        QCOMPARE(joined.mid(noise, reply.size()), reply);
        QCOMPARE(noise > 0, number % 2 == 0);
        QCOMPARE(overrun > 0, number % 3 == 0);
        QVERIFY(noise <= 8 && overrun <= 8);
    }
}

void TestDeviceSimulator::dropEveryNth()
{
    DeviceSimulator simulator;
    FaultOptions options;
    options.dropEvery = 2;
    simulator.setFaults(options);
    QTcpSocket socket;
    connectTcp(simulator, socket);
    socket.write(read(0x1C) + read(0x1C) + read(0x1C));
    QByteArray replies;
    QVERIFY(waitForBytes(socket, &replies, 2 * FlagsLength));
    QTest::qWait(300);
    replies.append(socket.readAll());
    QCOMPARE(replies.size(), 2 * FlagsLength);
    QCOMPARE(simulator.requests().size(), 3);
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

void TestDeviceSimulator::splitNoiseAndOverrun()
{
    DeviceSimulator simulator;
    FaultOptions options;
    options.splitReplies = true;
    options.noiseEvery = 1;
    options.overrunEvery = 1;
    options.seed = 7;
    simulator.setFaults(options);
    QTcpSocket socket;
    connectTcp(simulator, socket);
    DeviceModel copy = simulator.model();
    const QByteArray expected = DeviceProtocol::answer(read(0x19), &copy);
    socket.write(read(0x19));
    QByteArray received;
    QVERIFY(waitForBytes(socket, &received, StatusLength + 2));
    QTest::qWait(300);
    received.append(socket.readAll());
    const int noise = received.indexOf(expected);
    const int overrun = received.size() - noise - expected.size();
    QVERIFY2(noise >= 1 && noise <= 8, qPrintable(received.toHex()));
    QVERIFY(overrun >= 1 && overrun <= 8);
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
