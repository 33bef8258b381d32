#include "devicemodel.h"
#include "deviceprotocol.h"
#include "requestframes.h"
#include "requestsplitter.h"

#include <QtTest>

using namespace RequestFrames;

// Replies and model changes checked against hand-written bytes at the
// offsets the host reads.
class TestDeviceProtocol : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void replyEnvelopes_data();
    void replyEnvelopes();
    void statusCardsAndWall();
    void inputEntries();
    void versions();
    void network();
    void signalFlags();
    void presetReads();
    void writeWindowsAndDelete();
    void entryWrites_data();
    void entryWrites();
    void restoreFactory();
    void tagFollowsLastWrite();
    void splitterReassembles();

private:
    QByteArray answer(const QByteArray &request) { return DeviceProtocol::answer(request, &m_model); }
    QByteArray entryChunk(int entry) { return answer(read(0x11)).mid(9 + 28 * entry, 28); }
    static int at(const QByteArray &bytes, int offset) { return quint8(bytes.at(offset)); }
    // Free window slots, then a layer table with no window in it.
    static QByteArray emptyPreset() { return QByteArray(1792, 0) + QByteArray(64, char(0xFF)); }

    DeviceModel m_model;
    const QByteArray m_ack = QByteArray::fromHex("2001ff080401aa20");
};

void TestDeviceProtocol::init()
{
    m_model = DeviceModel::defaultChassis();
}

void TestDeviceProtocol::replyEnvelopes_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("length");
    QTest::newRow("input entries") << 0x11 << 907;
    QTest::newRow("versions") << 0x13 << 134;
    QTest::newRow("network") << 0x14 << 31;
    QTest::newRow("status") << 0x19 << 362;
    QTest::newRow("preset windows") << 0x1A << 1867;
    QTest::newRow("preset blocks") << 0x1B << 523;
    QTest::newRow("signal flags") << 0x1C << 19;
}

void TestDeviceProtocol::replyEnvelopes()
{
    QFETCH(int, code);
    QFETCH(int, length);
    const QByteArray reply = answer(read(quint8(code)));
    QCOMPARE(reply.size(), length);
    QCOMPARE(reply.left(2), QByteArray::fromHex("2001"));
    QCOMPARE(at(reply, 2) * 256 + at(reply, 3), length);
    QCOMPARE(reply.mid(4, 4), QByteArray::fromHex("0401aa01"));
    QCOMPARE(at(reply, 8), code);
    QCOMPARE(reply.right(2), QByteArray::fromHex("aa20"));
}

void TestDeviceProtocol::statusCardsAndWall()
{
    m_model.currentPreset = 9;
    m_model.tag = QByteArray::fromHex("a1a2a3a4a5a6a7a8");
    const QByteArray reply = answer(read(0x19));
    QCOMPARE(at(reply, 287), 9);
    QCOMPARE(reply.mid(352, 8), m_model.tag);
    // Presence: entries 0-9, 12 and 23; byte 12 holds entries 0-7.
    QCOMPARE(reply.mid(9, 4), QByteArray::fromHex("008013ff"));
    // Card types, two bits per slot, byte 20 holds slots 0-3: HDMI in 4 and 5,
    // DVI in 6 and 7, SDI in 8 and 9.
    QCOMPARE(reply.mid(15, 6), QByteArray::fromHex("0000000fa500"));
    QCOMPARE(reply.mid(23, 4), QByteArray::fromHex("06000202"));
    // Cells from 31: x, width, y, height, low byte first.
    QCOMPARE(reply.mid(31, 32), QByteArray::fromHex("0000800700003804" "8007800700003804"
                                                    "0000800738043804" "8007800738043804"));
    QCOMPARE(reply.mid(63, 8), QByteArray(8, 0));
}

void TestDeviceProtocol::inputEntries()
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

void TestDeviceProtocol::versions()
{
    const QByteArray reply = answer(read(0x13));
    QCOMPARE(reply.mid(9, 3), QByteArray::fromHex("030104"));
    QCOMPARE(reply.mid(12, 3), QByteArray::fromHex("010007"));
    QCOMPARE(reply.mid(12 + 3 * 10, 3), QByteArray::fromHex("ffffff"));
    QCOMPARE(reply.mid(12 + 3 * 23, 3), QByteArray::fromHex("010309"));
    QCOMPARE(reply.mid(108, 4), QByteArray::fromHex("02000201"));
    QCOMPARE(reply.mid(130, 2), QByteArray::fromHex("020b"));
}

void TestDeviceProtocol::network()
{
    const QByteArray reply = answer(read(0x14));
    QCOMPARE(reply.mid(9, 20), QByteArray::fromHex("c0a80164" "ffffff00" "c0a80101" "76647716212c" "3200"));
}

void TestDeviceProtocol::signalFlags()
{
    const QByteArray reply = answer(read(0x1C));
    // Byte 16 holds entries 0-3, two bits each: first channel, second channel.
    QCOMPARE(reply.mid(9, 8), QByteArray::fromHex("0000000001097151"));
}

void TestDeviceProtocol::presetReads()
{
    const QByteArray windows = answer(read(0x1A, 0));
    QCOMPARE(windows.mid(9, 28), QByteArray::fromHex("0001000011000000000000000000000000000000"
                                                      "0000000f00003804"));
    QCOMPARE(windows.mid(9 + 28 * 5, 6), QByteArray::fromHex("050126000010"));
    QCOMPARE(windows.mid(1801, 3), QByteArray::fromHex("0005ff"));
    const QByteArray blocks = answer(read(0x1B, 0));
    QCOMPARE(blocks.mid(9, 8), QByteArray::fromHex("0000800700003804"));
    QCOMPARE(answer(read(0x1A, 7)).mid(9, 1856), emptyPreset());
}

void TestDeviceProtocol::writeWindowsAndDelete()
{
    QByteArray layers(64, char(0xFF));
    layers[0] = 9;
    const QByteArray block = QByteArray::fromHex("0901210533000000000000000000000000000000"
                                                 "1000200030004000" "0100020003000400");
    const QByteArray sections(20, 0x5A);
    const QByteArray payload = QByteArray::fromHex("0401") + block + layers + sections;
    QCOMPARE(answer(write(0x42, payload, tag(1))), m_ack);
    const QByteArray windows = answer(read(0x1A, 4));
    QCOMPARE(windows.mid(9 + 28 * 9, 28), block.left(28));
    QCOMPARE(at(windows, 1801), 9);
    QCOMPARE(at(windows, 1802), 0xFF);
    QCOMPARE(windows.mid(9, 28 * 9), QByteArray(28 * 9, 0));
    QCOMPARE(answer(read(0x1B, 4)).mid(9 + 8 * 9, 8), block.mid(28));

    QByteArray deleted = block;
    deleted[1] = 0;
    QCOMPARE(answer(write(0x42, QByteArray::fromHex("0401") + deleted + QByteArray(64, char(0xFF)),
                          tag(2))), m_ack);
    QCOMPARE(answer(read(0x1A, 4)).mid(9 + 28 * 9, 28), QByteArray(28, 0));
    QCOMPARE(answer(read(0x1B, 4)).mid(9 + 8 * 9, 8), QByteArray(8, 0));

    QCOMPARE(answer(write(0x42, payload, tag(3))), m_ack);
    QCOMPARE(answer(write(0x43, QByteArray::fromHex("04"), tag(4))), m_ack);
    QCOMPARE(answer(read(0x1A, 4)).mid(9, 1856), emptyPreset());
    QCOMPARE(answer(read(0x1B, 4)).mid(9, 512), QByteArray(512, 0));
    QCOMPARE(m_model.presets[0].windowCount(), 2);
}

void TestDeviceProtocol::entryWrites_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<bool>("changes");
    QTest::newRow("0x80 main signal") << write(0x80, QByteArray::fromHex("0302"), tag(9)) << 3 << 2 << QByteArray::fromHex("02") << true;
    QTest::newRow("0x81 group 1 on") << write(0x81, QByteArray::fromHex("0301"), tag(9)) << 3 << 4 << QByteArray::fromHex("01") << true;
    QTest::newRow("0x82 pip signal") << write(0x82, QByteArray::fromHex("0402"), tag(9)) << 4 << 3 << QByteArray::fromHex("0202") << true;
    QTest::newRow("0x83 group 2 on") << write(0x83, QByteArray::fromHex("0301"), tag(9)) << 3 << 4 << QByteArray::fromHex("03") << true;
    QTest::newRow("0x84 caption signal") << write(0x84, QByteArray::fromHex("0601"), tag(9)) << 6 << 3 << QByteArray::fromHex("0104") << true;
    QTest::newRow("0x85 rectangle A") << write(0x85, QByteArray::fromHex("07" "1000200030004000"), tag(9)) << 7 << 12
                                      << QByteArray::fromHex("1000200030004000") << true;
    QTest::newRow("0x86 rectangle B") << write(0x86, QByteArray::fromHex("07" "0100020003000400"), tag(9)) << 7 << 20
                                      << QByteArray::fromHex("0100020003000400") << true;
    QTest::newRow("0x87 light by channel 33") << write(0x87, QByteArray::fromHex("2149"), tag(9)) << 0 << 5 << QByteArray::fromHex("49") << true;
    QTest::newRow("0x88 contrast") << write(0x88, QByteArray::fromHex("0511"), tag(9)) << 5 << 6 << QByteArray::fromHex("11") << true;
    QTest::newRow("0x89 colour by channel 100") << write(0x89, QByteArray::fromHex("6422"), tag(9)) << 2 << 7 << QByteArray::fromHex("22") << true;
    QTest::newRow("0x8A captions, length 23") << write(0x8A, QByteArray::fromHex("0601020304"), tag(9), 23) << 6 << 8
                                              << QByteArray::fromHex("01020304") << true;
    QTest::newRow("0x8B auto adjust") << write(0x8B, QByteArray::fromHex("03"), tag(9)) << 3 << 2 << QByteArray::fromHex("03") << false;
}

void TestDeviceProtocol::entryWrites()
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

void TestDeviceProtocol::restoreFactory()
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

void TestDeviceProtocol::tagFollowsLastWrite()
{
    answer(write(0x49, QByteArray::fromHex("01"), tag(0x10)));
    QCOMPARE(answer(read(0x19)).mid(352, 8), tag(0x10));
    answer(read(0x11));
    QCOMPARE(answer(read(0x19)).mid(352, 8), tag(0x10));
    answer(write(0x8A, QByteArray::fromHex("0001020304"), tag(0x20), 23));
    QCOMPARE(answer(read(0x19)).mid(352, 8), tag(0x20));
    answer(write(0xEE, QByteArray::fromHex("00"), tag(0x30)));
    QCOMPARE(answer(read(0x19)).mid(352, 8), tag(0x30));
}

void TestDeviceProtocol::splitterReassembles()
{
    RequestSplitter splitter;
    QByteArray request;
    const QByteArray first = read(0x19);
    splitter.append(first.left(3));
    QVERIFY(!splitter.takeRequest(&request));
    splitter.append(first.mid(3, 5));
    QVERIFY(!splitter.takeRequest(&request));
    splitter.append(first.mid(8));
    QVERIFY(splitter.takeRequest(&request));
    QCOMPARE(request, first);
    QVERIFY(!splitter.takeRequest(&request));

    const QByteArray second = write(0x49, QByteArray::fromHex("02"), tag(1));
    splitter.append(QByteArray::fromHex("ff2000") + first + second.left(10));
    QVERIFY(splitter.takeRequest(&request));
    QCOMPARE(request, first);
    QVERIFY(!splitter.takeRequest(&request));
    splitter.append(second.mid(10));
    QVERIFY(splitter.takeRequest(&request));
    QCOMPARE(request, second);
    QCOMPARE(splitter.skippedBytes(), 3);
}

QTEST_GUILESS_MAIN(TestDeviceProtocol)

#include "tst_deviceprotocol.moc"
