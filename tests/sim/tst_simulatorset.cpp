// Several processors in one process: each answers on its own transports
// from its own model and with its own faults, in-process and as the
// rz5300-sim program.

#include "devicemodel.h"
#include "deviceprotocol.h"
#include "devicesimulator.h"
#include "ptyskip.h"
#include "requestframes.h"
#include "simulatorset.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSerialPort>
#include <QTcpSocket>
#include <QtTest>

#include <memory>

using namespace RequestFrames;

namespace {

enum class Link { Tcp, Pty };

constexpr int WallOffset = 23;        // resolution, output mode, rows, columns
constexpr int CurrentPresetOffset = 287;

// A connection to each processor of the set, over the link asked for.
class Connections
{
public:
    bool open(SimulatorSet &processors, Link link)
    {
        for (int number = 1; number <= processors.count(); ++number) {
            DeviceSimulator &simulator = processors.processor(number);
            m_devices.push_back(link == Link::Tcp ? connectTcp(simulator) : openPort(simulator));
            m_received.append(QByteArray());
            if (!m_devices.back())
                return false;
        }
        return true;
    }

    QByteArray exchange(int number, const QByteArray &request)
    {
        QIODevice &device = *m_devices.at(size_t(number - 1));
        device.write(request);
        return nextReply(device, &m_received[number - 1]);
    }

private:
    static std::unique_ptr<QIODevice> connectTcp(DeviceSimulator &simulator)
    {
        auto socket = std::make_unique<QTcpSocket>();
        socket->connectToHost(QHostAddress::LocalHost, simulator.tcpPort());
        if (!socket->waitForConnected(5000))
            return nullptr;
        return socket;
    }

    static std::unique_ptr<QIODevice> openPort(DeviceSimulator &simulator)
    {
        auto port = std::make_unique<QSerialPort>(simulator.ptyPath());
        port->setBaudRate(QSerialPort::Baud115200);
        if (!port->open(QIODevice::ReadWrite))
            return nullptr;
        return port;
    }

    std::vector<std::unique_ptr<QIODevice>> m_devices;
    QByteArrayList m_received;
};

// The program's lines "processor <i> tcp <port>" until there are count or
// it has ended.
QList<quint16> announcedPorts(QProcess &program, int count)
{
    const QRegularExpression line(QStringLiteral("^processor (\\d) tcp (\\d+)$"));
    QList<quint16> ports;
    const bool ended = QTest::qWaitFor([&] {
        while (program.canReadLine()) {
            const QRegularExpressionMatch match = line.match(QString::fromLatin1(program.readLine()).trimmed());
            if (match.hasMatch() && match.captured(1).toInt() == ports.size() + 1)
                ports.append(quint16(match.captured(2).toUInt()));
        }
        return ports.size() >= count || program.state() == QProcess::NotRunning;
    }, 10000);
    return ended ? ports : QList<quint16>();
}

} // namespace

Q_DECLARE_METATYPE(Link)

class TestSimulatorSet : public QObject
{
    Q_OBJECT

private slots:
    void recallReachesOneProcessor_data();
    void recallReachesOneProcessor();
    void wallsAndWindowsDiffer();
    void faultyLeavesOthersClean();
    void programAnnouncesEachProcessor();
    void programRefusesBadCounts_data();
    void programRefusesBadCounts();
};

void TestSimulatorSet::recallReachesOneProcessor_data()
{
    QTest::addColumn<Link>("link");
    QTest::newRow("tcp") << Link::Tcp;
    if (HasPty)
        QTest::newRow("pty") << Link::Pty;
}

void TestSimulatorSet::recallReachesOneProcessor()
{
    QFETCH(Link, link);
    SimulatorSet processors(3);
    QString error;
    QVERIFY2(link == Link::Tcp ? processors.listenTcp(0, &error) : processors.openPty({}, &error), qPrintable(error));
    Connections connections;
    QVERIFY(connections.open(processors, link));

    QCOMPARE(connections.exchange(2, write(0x49, QByteArray::fromHex("05"), tag(1))),
             QByteArray::fromHex("2001ff080401aa20"));
    QList<int> current;
    for (int number = 1; number <= 3; ++number)
        current << quint8(connections.exchange(number, read(0x19)).at(CurrentPresetOffset));
    QCOMPARE(current, QList<int>({0, 5, 0}));
}

// Processor 1 stays the chassis a single simulator plays; the others show
// walls and windows of their own.
void TestSimulatorSet::wallsAndWindowsDiffer()
{
    SimulatorSet processors(3);
    QString error;
    QVERIFY2(processors.listenTcp(0, &error), qPrintable(error));
    Connections connections;
    QVERIFY(connections.open(processors, Link::Tcp));

    QByteArrayList walls;
    QByteArrayList windows;
    for (int number = 1; number <= 3; ++number) {
        walls << connections.exchange(number, read(0x19)).mid(WallOffset, 4);
        windows << connections.exchange(number, read(0x1A, 0)).mid(9, 1856);
    }
    QCOMPARE(walls.first(), QByteArray::fromHex("06000202"));
    DeviceModel single = DeviceModel::defaultChassis();
    QCOMPARE(windows.first(), DeviceProtocol::answer(read(0x1A, 0), &single).mid(9, 1856));
    for (int number = 1; number < 3; ++number) {
        QVERIFY(walls.at(number) != walls.first() && walls.at(number) != walls.at(3 - number));
        QVERIFY(windows.at(number) != windows.first() && windows.at(number) != windows.at(3 - number));
    }
}

// A muted command code on processor 2 only: its next reply answers the
// request after the muted one, while 1 and 3 answer both in turn.
void TestSimulatorSet::faultyLeavesOthersClean()
{
    SimulatorSet processors(3);
    FaultOptions faults;
    faults.muteCode = 0x1C;
    processors.setFaults(faults, {2});
    QString error;
    QVERIFY2(processors.listenTcp(0, &error), qPrintable(error));
    Connections connections;
    QVERIFY(connections.open(processors, Link::Tcp));

    QList<int> codes;
    for (int number = 1; number <= 3; ++number) {
        const QByteArray first = connections.exchange(number, read(0x1C) + read(0x19));
        QVERIFY(first.size() > 8);
        codes << quint8(first.at(8));
    }
    QCOMPARE(codes, QList<int>({0x1C, 0x19, 0x1C}));
}

void TestSimulatorSet::programAnnouncesEachProcessor()
{
    QProcess program;
    program.start(QStringLiteral(SIM_PROGRAM), {QStringLiteral("--processors"), QStringLiteral("3"),
                                                QStringLiteral("--tcp"), QStringLiteral("0")});
    QVERIFY(program.waitForStarted());
    const QList<quint16> ports = announcedPorts(program, 3);
    QCOMPARE(ports.size(), 3);

    QByteArrayList walls;
    for (const quint16 port : ports) {
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, port);
        QVERIFY(socket.waitForConnected(5000));
        socket.write(read(0x19));
        QByteArray received;
        walls << nextReply(socket, &received).mid(WallOffset, 4);
    }
    QCOMPARE(walls.first(), QByteArray::fromHex("06000202"));
    QVERIFY(walls.at(1) != walls.first() && walls.at(2) != walls.first());
    program.terminate();
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 0);
}

void TestSimulatorSet::programRefusesBadCounts_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("nine processors") << QStringList{"--processors", "9", "--tcp", "0"} << "--processors";
    QTest::newRow("no processor") << QStringList{"--processors", "0", "--tcp", "0"} << "--processors";
    QTest::newRow("ports past 65535") << QStringList{"--processors", "3", "--tcp", "65534"} << "--tcp 65534";
    QTest::newRow("port past 65535") << QStringList{"--tcp", "65536"} << "--tcp";
    QTest::newRow("faulty beyond the count")
        << QStringList{"--processors", "3", "--tcp", "0", "--faulty", "4"} << "--faulty";
    QTest::newRow("faulty zero") << QStringList{"--tcp", "0", "--faulty", "0"} << "--faulty";
}

void TestSimulatorSet::programRefusesBadCounts()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QProcess program;
    program.start(QStringLiteral(SIM_PROGRAM), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 2);
    QVERIFY2(program.readAllStandardError().startsWith(message.toLatin1()), qPrintable(message));
}

QTEST_GUILESS_MAIN(TestSimulatorSet)
#include "tst_simulatorset.moc"
