// The device simulator: what its writes change, against hand-written bytes
// at the offsets the host reads (its replies are checked against the host's
// own reading of hand-made replies by the link tests), its transports with
// pacing and faults, and its chassis profiles.

#include "devicemodel.h"
#include "deviceprofile.h"
#include "deviceprotocol.h"
#include "devicesimulator.h"
#include "faultinjector.h"
#include "ptyskip.h"
#include "replyform.h"
#include "requestframes.h"

#include <QElapsedTimer>
#include <QSerialPort>
#include <QTemporaryFile>
#include <QtTest>

using namespace RequestFrames;

namespace {

constexpr int FlagsLength = 19;
constexpr int WindowsLength = 1867;

} // namespace

class TestSimulator : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void inputEntries();
    void deleteWindows();
    void entryWrites_data();
    void entryWrites();
    void restoreFactory();
    void pacingTakesLineTime();
    void injectorIsSeededAndKeepsBytes();
    void replyForms();
    void unplugAfterN();
    void exampleProfileLoads();
    void badProfileLeavesModel_data();
    void badProfileLeavesModel();

private:
    QByteArray answer(const QByteArray &request) { return DeviceProtocol::answer(request, &m_model); }
    QByteArray entryChunk(int entry) { return answer(read(0x11)).mid(9 + 28 * entry, 28); }
    static int at(const QByteArray &bytes, int offset) { return quint8(bytes.at(offset)); }
    // Free window slots, then a layer table with no window in it.
    static QByteArray emptyPreset() { return QByteArray(1792, 0) + QByteArray(64, char(0xFF)); }
    void openPort(DeviceSimulator &simulator, QSerialPort &port);

    DeviceModel m_model;
    const QByteArray m_ack = QByteArray::fromHex("2001ff080401aa20");
};

void TestSimulator::init()
{
    m_model = DeviceModel::defaultChassis();
}

void TestSimulator::inputEntries()
{
    InputEntry &entry = m_model.entries[5];
    entry.mainSignal = 2;
    entry.auxSignal = 3;
    entry.mode = 4;
    entry.light = 10;
    entry.contrast = 20;
    entry.colour = 30;
    entry.captions = {1, 2, 3, 4};
    entry.rectA = {0x0102, 0x0304, 0x0506, 0x0708};
    entry.rectB = {0x1112, 0x1314, 0x1516, 0x1718};
    QCOMPARE(entryChunk(5), QByteArray::fromHex("05010203040a141e01020304" "0201040306050807"
                                                "1211141316151817"));
    QCOMPARE(entryChunk(10).left(2), QByteArray::fromHex("0a00"));
    QCOMPARE(entryChunk(31).left(2), QByteArray::fromHex("1f00"));
}

// Writes of single windows are checked end to end against the canvas.
void TestSimulator::deleteWindows()
{
    const int others = m_model.presets[1].windowCount();
    QVERIFY(m_model.presets[0].windowCount() > 0);
    QCOMPARE(answer(write(0x43, QByteArray::fromHex("00"), tag(4))), m_ack);
    QCOMPARE(answer(read(0x1A, 0)).mid(9, 1856), emptyPreset());
    QCOMPARE(answer(read(0x1B, 0)).mid(9, 512), QByteArray(512, 0));
    QCOMPARE(m_model.presets[1].windowCount(), others);
}

void TestSimulator::entryWrites_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("changes");
    const auto row = [](const char *name, quint8 code, const char *payload, int entry, int offset, const char *expected,
                        bool changes = true, int length = -1) {
        QTest::newRow(name) << write(code, QByteArray::fromHex(payload), tag(9), length) << entry << offset
                           << QByteArray::fromHex(expected) << changes;
    };
    row("0x80 main signal", 0x80, "0302", 3, 2, "02");
    row("0x81 group 1 on", 0x81, "0301", 3, 4, "01");
    row("0x82 pip signal", 0x82, "0402", 4, 3, "0202");
    row("0x83 group 2 on", 0x83, "0301", 3, 4, "03");
    row("0x84 caption signal", 0x84, "0601", 6, 3, "0104");
    row("0x85 rectangle A", 0x85, "07" "1000200030004000", 7, 12, "1000200030004000");
    row("0x86 rectangle B", 0x86, "07" "0100020003000400", 7, 20, "0100020003000400");
    row("0x87 light by channel 33", 0x87, "2149", 0, 5, "49");
    row("0x88 contrast", 0x88, "0511", 5, 6, "11");
    row("0x89 colour by channel 100", 0x89, "6422", 2, 7, "22");
    row("0x8A captions, length 23", 0x8A, "0601020304", 6, 8, "01020304", true, 23);
    row("0x8B auto adjust", 0x8B, "03", 3, 2, "03", false);
}

void TestSimulator::entryWrites()
{
    QFETCH(QByteArray, request);
    QFETCH(int, entry);
    QFETCH(int, offset);
    QFETCH(QByteArray, expected);
    QFETCH(bool, changes);
    const QByteArray before = entryChunk(entry);
    QCOMPARE(answer(request), m_ack);
    const QByteArray after = entryChunk(entry);
    QCOMPARE(after.mid(offset, expected.size()), expected);
    QCOMPARE(after != before, changes);
}

void TestSimulator::restoreFactory()
{
    answer(write(0x43, QByteArray::fromHex("00"), tag(1)));
    answer(write(0x49, QByteArray::fromHex("05"), tag(1)));
    answer(write(0x80, QByteArray::fromHex("0003"), tag(1)));
    answer(write(0x87, QByteArray::fromHex("0063"), tag(1)));
    m_model.wall.setGrid({1280}, {720});
    m_model.presets[3].windows[1] = 1;

    QCOMPARE(answer(write(0x47, {}, tag(0x70))), m_ack);
    const QByteArray status = answer(read(0x19));
    QCOMPARE(status.mid(23, 4), QByteArray::fromHex("06000202"));
    QCOMPARE(status.mid(31, 8), QByteArray::fromHex("0000800700003804"));
    QCOMPARE(at(status, 287), 0);
    QCOMPARE(status.mid(352, 8), tag(0x70));
    QCOMPARE(answer(read(0x1A, 3)).mid(9, 1856), emptyPreset());
    QCOMPARE(entryChunk(0).mid(2, 26), QByteArray::fromHex("010000323232" "00000000" "0000800700003804"
                                                           "0000c00300001c02"));
    QCOMPARE(entryChunk(10).mid(1, 7), QByteArray(7, 0));
}

void TestSimulator::openPort(DeviceSimulator &simulator, QSerialPort &port)
{
    QVERIFY(simulator.openPty());
    QVERIFY(!simulator.ptyPath().isEmpty());
    port.setPortName(simulator.ptyPath());
    port.setBaudRate(QSerialPort::Baud115200);
    QVERIFY2(port.open(QIODevice::ReadWrite), qPrintable(port.errorString()));
}

void TestSimulator::pacingTakesLineTime()
{
    SKIP_WITHOUT_PTY();
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
    const double seconds = double(clock.nsecsElapsed()) / 1e9;
    const double lineSeconds = (request.size() + WindowsLength) * 10 / 115200.0;
    QVERIFY2(seconds >= 0.9 * lineSeconds, qPrintable(QStringLiteral("%1 s").arg(seconds)));
    QCOMPARE(reply.size(), WindowsLength);
}

void TestSimulator::injectorIsSeededAndKeepsBytes()
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
    options.slowCode = 0x13;
    options.slowMs = 300;
    FaultInjector muted(options);
    QVERIFY(FaultInjector(options).shape(1, request, reply).isEmpty());
    QCOMPARE(FaultInjector(options).shape(1, read(0x13), reply), QByteArrayList{reply});
    QCOMPARE(QList<int>({muted.delayMs(4, request), muted.delayMs(5, request), muted.delayMs(5, read(0x13))}),
             QList<int>({700, 0, 300}));

    // The first muted request answered out of turn, once.
    options.outOfTurnCode = 0x1C;
    options.outOfTurnMs = 900;
    QCOMPARE(muted.outOfTurnMs(2, request), -1);
    FaultInjector outOfTurn(options);
    QCOMPARE(QList<int>({outOfTurn.outOfTurnMs(2, read(0x13)), outOfTurn.outOfTurnMs(3, request),
                         outOfTurn.outOfTurnMs(4, request)}),
             QList<int>({-1, 900, -1}));
    QCOMPARE(outOfTurn.shape(3, request, reply), QByteArrayList{reply});
    QVERIFY(outOfTurn.shape(4, request, reply).isEmpty());

    options = {};
    options.noiseEvery = 1;
    options.noiseStarts = true;
    FaultInjector starts(options);
    for (int number = 1; number <= 20; ++number) {
        const QByteArray joined = starts.shape(number, request, reply).join();
        QVERIFY(joined.left(joined.size() - reply.size()).contains('\x20'));
    }
}

// Another device's replies: spare bytes before the trailer, counted in the
// length; no echo in byte 8; or no byte past those the host reads (the
// network reply then ends within the port). Acknowledgements stay as they
// are.
void TestSimulator::replyForms()
{
    const QByteArray network = answer(read(0x14));
    QCOMPARE(network.size(), 31);
    ReplyForm form;
    form.spareBytes = 3;
    form.codeByte = 0;
    const QByteArray spare = form.applyTo(network);
    QCOMPARE(spare.left(4), QByteArray::fromHex("20010022"));
    QCOMPARE(int(spare.at(8)), 0);
    QCOMPARE(spare.mid(9, 20), network.mid(9, 20));
    QCOMPARE(spare.right(5), QByteArray::fromHex("000000aa20"));
    QCOMPARE(form.applyTo(m_ack), m_ack);

    form = {};
    form.shortest = true;
    const QByteArray shortest = form.applyTo(network);
    QCOMPARE(shortest.left(4), QByteArray::fromHex("2001001e"));
    QCOMPARE(shortest.mid(4, 24), network.mid(4, 24));
    QCOMPARE(shortest.right(2), QByteArray::fromHex("aa20"));
    QCOMPARE(form.applyTo(answer(read(0x1A, 0))).size(), WindowsLength);
}

void TestSimulator::unplugAfterN()
{
    SKIP_WITHOUT_PTY();
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

void TestSimulator::exampleProfileLoads()
{
    DeviceModel model;
    QString error;
    QVERIFY2(DeviceProfile::load(QStringLiteral(SIM_PROFILE_DIR "/example.json"), &model, &error),
             qPrintable(error));
    const auto &e = model.entries;
    QCOMPARE(QList<int>({e[0].present, e[0].mainSignal, e[1].cardType, e[1].signalB, e[22].cardType,
                         e[31].present, e[2].present}),
             QList<int>({1, 3, InputEntry::TwoChannelSdi, 1, InputEntry::TwoChannelDvi, 1, 0}));
    QCOMPARE(QList<int>({int(model.network.address), model.network.mac[5], model.network.port, model.wall.cols,
                         model.currentPreset}), QList<int>({0x0A000009, 0x0C, 23, 3, 3}));
    QCOMPARE(model.outputs[11], (CardVersion{3, 2, 0xFF}));
    QCOMPARE(model.tag, QByteArray::fromHex("0102030405060708"));
}

void TestSimulator::badProfileLeavesModel_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::newRow("not json") << QByteArray("{");
    QTest::newRow("slot out of range") << QByteArray(R"({"inputs": [{"slot": 32}]})");
    QTest::newRow("two channels beyond slot 23") << QByteArray(R"({"inputs": [{"slot": 24, "card": "hdmi2"}]})");
    QTest::newRow("unknown card") << QByteArray(R"({"inputs": [{"slot": 1, "card": "vga9"}]})");
    QTest::newRow("bad address") << QByteArray(R"({"network": {"address": "192.168.1.300"}})");
    QTest::newRow("wall too big") << QByteArray(R"({"wall": {"widths": [1,1,1,1,1,1], "heights": [1,1,1,1,1,1]}})");
    QTest::newRow("short tag") << QByteArray(R"({"tag": "0102"})");
}

void TestSimulator::badProfileLeavesModel()
{
    QFETCH(QByteArray, json);
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write(json);
    file.close();
    DeviceModel model = DeviceModel::defaultChassis();
    QString error;
    QVERIFY(!DeviceProfile::load(file.fileName(), &model, &error));
    QVERIFY(!error.isEmpty());
    QVERIFY(model.entries[4].present);
}

QTEST_GUILESS_MAIN(TestSimulator)
#include "tst_simulator.moc"
