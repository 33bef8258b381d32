#include <commandbuilder.h>
#include <datataggenerator.h>
#include <devicedata.h>
#include <framebuilder.h>
#include <replyassembler.h>
#include <replylayout.h>
#include <replyshape.h>

#include <QtTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

QByteArray tagOf(const QByteArray &frame)
{
    return frame.mid(frame.size() - 10, 8);
}

// A reply of the given length, its payload bytes counting up from 1, its
// code 0x1A.
QByteArray reply(int length)
{
    QByteArray bytes(length, '\0');
    bytes[0] = 0x20;
    bytes[2] = static_cast<char>(length >> 8);
    bytes[3] = static_cast<char>(length & 0xFF);
    for (int i = 4; i < length; ++i)
        bytes[i] = static_cast<char>(i % 31 + 1);
    bytes[8] = 0x1A;
    bytes[length - 2] = '\xAA';
    bytes[length - 1] = 0x20;
    return bytes;
}

// A reply to a read of code, length bytes long, byte 8 holding byte8.
QByteArray readReply(int length, quint8 byte8)
{
    QByteArray bytes = reply(length);
    bytes[8] = static_cast<char>(byte8);
    return bytes;
}

QList<QByteArray> takeAll(ReplyAssembler &assembler, const ReplyShape *awaited = nullptr)
{
    QList<QByteArray> replies;
    for (QByteArray r = assembler.takeReply(awaited); !r.isEmpty(); r = assembler.takeReply(awaited))
        replies << r;
    return replies;
}

} // namespace

Q_DECLARE_METATYPE(QList<QByteArrayList>)

// The bytes on the wire: request frames byte for byte, from the
// catalogue's worked examples, and replies cut from the byte stream.
class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readRequests_data();
    void readRequests();
    void writeFrames_data();
    void writeFrames();
    void wallOneCell();
    void allPresets();
    void unsetTagStillFillsTheFrame();
    void tagsAvoid255AndDiffer();
    void replyStream_data();
    void replyStream();
    void awaitedReplyIsWaitedFor();
    void falseStartGivesWayToTheAwaitedReply();
    void readReplyShapes_data();
    void readReplyShapes();
    void clearDropsHalfReply();

private:
    QList<QByteArray> build(int type);

    QByteArray m_checkSum;
    DeviceData m_data;
    int m_index = 0;
    QByteArray m_sendBuf;
    QByteArray m_sendBuf2;
    QList<QByteArray> m_all, m_in, m_ch;
};

QList<QByteArray> TestFrames::build(int type)
{
    CommandBuilder builder(m_checkSum);
    LinkRequest request;
    request.type = type;
    request.entry = m_index;
    request.payload = m_sendBuf;
    request.payload2 = m_sendBuf2;
    for (int i = 0; i < m_all.size(); ++i)
        request.presets.append({i, m_all.at(i), m_in.value(i), m_ch.value(i)});
    request.preset = m_data.curModel;
    request.entryMode = m_index < 32 ? m_data.inCards[size_t(m_index)].mode : 0;
    request.wall = FrameBuilder::wallOf(m_data);
    return builder.build(request);
}

void TestFrames::init()
{
    m_checkSum = hex("0102030405060708");
    m_data = DeviceData();
    m_index = 0;
    m_sendBuf.clear();
    m_sendBuf2.clear();
    m_all.clear();
    m_in.clear();
    m_ch.clear();
}

void TestFrames::readRequests_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QList<QByteArray>>("frames");
    const auto read = [](const char *code) {
        return hex("20010010 04FEAA01") + hex(code) + hex("0000000000 AA20");
    };
    QTest::newRow("10 versions") << 10 << QList<QByteArray>{read("13")};
    QTest::newRow("12 signal flags") << 12 << QList<QByteArray>{read("1C")};
    QTest::newRow("14 network") << 14 << QList<QByteArray>{read("14")};
    QTest::newRow("193 input cards") << 193 << QList<QByteArray>{read("11")};
    QTest::newRow("190 connection read") << 190 << QList<QByteArray>{read("11"), read("19")};
    QTest::newRow("3 is no command") << 3 << QList<QByteArray>{};
}

void TestFrames::readRequests()
{
    QFETCH(int, type);
    QTEST(build(type), "frames");
}

void TestFrames::writeFrames_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("preset");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("mode"); // of the entry before the command
    QTest::addColumn<QByteArray>("staged");
    QTest::addColumn<QByteArray>("staged2");
    QTest::addColumn<QList<QByteArray>>("frames"); // each followed by the tag and AA 20
    QTest::addColumn<bool>("renewsTag");
    const auto row = [](const char *tag, int type, int preset, int entry, int mode, const char *staged,
                        const QList<QByteArray> &frames, bool renews = true, const char *staged2 = "") {
        QTest::newRow(tag) << type << preset << entry << mode << hex(staged) << hex(staged2) << frames << renews;
    };
    row("49 recall preset 2", 49, 2, 0, 0, "", {hex("2001001404 01AA01 4902")});
    row("43 delete windows keeps the tag", 43, 3, 0, 0, "", {hex("2001001404 01AA0143 03")}, false);
    row("80 main signal", 80, 0, 5, 0, "02", {hex("2001001504 01AA0180 0502")});
    row("81 from single picture", 81, 0, 1, 0, "01", {hex("2001001504 01AA0181 0101")});
    row("81 off from the second group", 81, 0, 1, 3, "00", {hex("2001001504 01AA0183 0100")});
    row("81 leaves the old group first", 81, 0, 7, 2, "02",
        {hex("2001001504 01AA0181 0700"), hex("2001001504 01AA0183 0701")});
    row("81 refuses entry 32", 81, 0, 32, 0, "01", {}, false);
    row("42 window data", 42, 4, 0, 0, "33333333333333333333",
        {hex("2001001F 04 01AA0142 0401 33333333333333333333")});
    row("85 rectangles share one tag", 85, 0, 0, 0, "03 0000 8007 0000 3804",
        {hex("2001001C 04 01AA0185 03 0000 8007 0000 3804"), hex("2001001C 04 01AA0186 03 1000 C003 2000 1C02")},
        true, "03 1000 C003 2000 1C02");
}

void TestFrames::writeFrames()
{
    QFETCH(int, type);
    QFETCH(int, entry);
    QFETCH(QList<QByteArray>, frames);
    QFETCH(bool, renewsTag);
    QFETCH(int, preset);
    m_data.curModel = preset;
    m_index = entry;
    if (entry < 32) {
        QFETCH(int, mode);
        m_data.inCards[size_t(entry)].mode = mode;
    }
    QFETCH(QByteArray, staged);
    QFETCH(QByteArray, staged2);
    m_sendBuf = staged;
    m_sendBuf2 = staged2;
    const QList<QByteArray> built = build(type);
    QCOMPARE(m_checkSum != hex("0102030405060708"), renewsTag);
    QCOMPARE(m_checkSum.size(), 8);
    for (QByteArray &frame : frames)
        frame += m_checkSum + hex("AA20");
    QCOMPARE(built, frames);
}

void TestFrames::wallOneCell()
{
    m_data.setWallSize(1, 1);
    m_data.outResolution = 6;
    m_data.outMode2 = 4;
    const QList<QByteArray> frames = build(Command::WriteWall);
    QCOMPARE(frames.size(), 1);
    const QByteArray &frame = frames.first();
    QCOMPARE(frame.size(), 298);
    QCOMPARE(frame.left(10), hex("2001012A 04 01AA0141 06"));
    QCOMPARE(frame.mid(10, 16), QByteArray(16, '\0'));
    QCOMPARE(frame.mid(26, 2), hex("0101"));
    QCOMPARE(frame.mid(28, 4), QByteArray(4, '\0'));
    QCOMPARE(frame.mid(32, 8), hex("0000800700003804"));
    QCOMPARE(frame.mid(40, 248), QByteArray(248, '\0'));
    QCOMPARE(frame.mid(288), m_checkSum + hex("AA20"));
}

void TestFrames::allPresets()
{
    for (int i = 0; i < 16; ++i) {
        m_all << QByteArray(1856, char(i));
        m_in << QByteArray(512, char(i));
        m_ch << QByteArray(1472, char(i));
    }
    const QList<QByteArray> frames = build(Command::WriteAllPresets);
    QCOMPARE(frames.size(), 48);
    QSet<QByteArray> tags;
    for (int i = 0; i < 16; ++i) {
        const QByteArray &windows = frames[3 * i];
        const QByteArray &layers = frames[3 * i + 1];
        const QByteArray &channels = frames[3 * i + 2];
        QCOMPARE(windows.size(), 1876);
        QCOMPARE(layers.size(), 532);
        QCOMPARE(channels.size(), 1492);
        QCOMPARE(windows.left(10), hex("20010754 04 01AA0144") + QByteArray(1, char(i)));
        QCOMPARE(layers.left(10), hex("20010214 04 01AA014A") + QByteArray(1, char(i)));
        QCOMPARE(channels.left(10), hex("200105D4 04 01AA0145") + QByteArray(1, char(i)));
        QCOMPARE(tagOf(layers), tagOf(windows));
        QCOMPARE(tagOf(channels), tagOf(windows));
        tags.insert(tagOf(windows));
    }
    QCOMPARE(tags.size(), 16);
    QCOMPARE(m_checkSum, tagOf(frames.last()));

    m_all.clear();
    m_in.clear();
    m_ch.clear();
    QVERIFY(build(Command::WriteAllPresets).isEmpty());
}

void TestFrames::unsetTagStillFillsTheFrame()
{
    m_checkSum.clear();
    m_data.curModel = 3;
    QCOMPARE(build(Command::DeleteWindows),
             QList<QByteArray>{hex("2001001404 01AA0143 03 0000000000000000 AA20")});
}

void TestFrames::tagsAvoid255AndDiffer()
{
    DataTagGenerator first;
    DataTagGenerator second;
    QByteArray all;
    for (int i = 0; i < 2000; ++i)
        all += first.next();
    QVERIFY(!all.contains('\xFF'));
    QVERIFY(all.contains('\xFE'));
    QVERIFY(first.next() != second.next());
}

// Each piece is appended and the complete replies taken; the replies are
// those expected, each one out as soon as its last byte is in, and nothing
// is left over.
void TestFrames::replyStream_data()
{
    QTest::addColumn<QByteArrayList>("pieces");
    QTest::addColumn<QList<QByteArrayList>>("replies"); // taken after each piece
    const QByteArray r16 = reply(16);
    const QByteArray r18 = reply(18);
    const QByteArray r20 = reply(20);
    const QByteArray r21 = reply(21);
    const QByteArray r1867 = reply(ReplyLayout::LongestRead);
    const QByteArray mark = QByteArray::fromHex("2000FF120405AA20");
    QByteArrayList hundreds;
    QList<QByteArrayList> none;
    for (int i = 0; i < r1867.size(); i += 100) {
        hundreds << r1867.mid(i, 100);
        none << QByteArrayList();
    }
    none.last() = {r1867};
    QTest::newRow("pieces of 3, 5 and 8")
        << QByteArrayList{r16.left(3), r16.mid(3, 5), r16.mid(8)} << QList<QByteArrayList>{{}, {}, {r16}};
    QTest::newRow("0xFF in byte 2") << QByteArrayList{mark.left(5), mark.mid(5)}
                                    << QList<QByteArrayList>{{}, {mark}};
    QTest::newRow("large reply in pieces") << hundreds << none;
    QTest::newRow("two replies in one read") << QByteArrayList{r16 + r21.left(10), r21.mid(10)}
                                             << QList<QByteArrayList>{{r16}, {r21}};
    QTest::newRow("noise") << QByteArrayList{QByteArray::fromHex("0011FFAA"), QByteArray::fromHex("1234") + r16}
                           << QList<QByteArrayList>{{}, {r16}};
    QTest::newRow("noise only") << QByteArrayList{QByteArray(40, '\x55')} << QList<QByteArrayList>{{}};
    QTest::newRow("overrun then a reply") << QByteArrayList{r16 + r20.left(2), r20.mid(2)}
                                          << QList<QByteArrayList>{{r16}, {r20}};
    QTest::newRow("overrun then garbage") << QByteArrayList{r16 + QByteArray::fromHex("01022000"), r18}
                                          << QList<QByteArrayList>{{r16}, {r18}};
    QTest::newRow("length below 8 is noise")
        << QByteArrayList{QByteArray::fromHex("20000005") + r16, QByteArray::fromHex("20000000")}
        << QList<QByteArrayList>{{r16}, {}};
    const int beyond = ReplyShape::MaxLength + 1;
    QTest::newRow("length beyond the longest reply is noise")
        << QByteArrayList{QByteArray::fromHex("2000") + char(beyond >> 8) + char(beyond & 0xFF) + r16}
        << QList<QByteArrayList>{{r16}};
    QTest::newRow("a start without its trailer is noise")
        << QByteArrayList{QByteArray::fromHex("20000C00") + r16.left(8), r16.mid(8)}
        << QList<QByteArrayList>{{}, {r16}};
    QTest::newRow("an unfinished start gives way to a reply behind it")
        << QByteArrayList{QByteArray::fromHex("2000050F") + mark, r16}
        << QList<QByteArrayList>{{mark}, {r16}};
}

void TestFrames::replyStream()
{
    QFETCH(QByteArrayList, pieces);
    QFETCH(QList<QByteArrayList>, replies);
    ReplyAssembler assembler;
    for (int i = 0; i < pieces.size(); ++i) {
        assembler.append(pieces.at(i));
        QCOMPARE(takeAll(assembler), QList<QByteArray>(replies.at(i)));
    }
    QVERIFY(assembler.isEmpty());
}

// An unfinished start that may be the reply awaited is waited for, even
// when what it holds so far looks like a whole reply of another kind.
void TestFrames::awaitedReplyIsWaitedFor()
{
    QByteArray blocks = reply(523);
    blocks[8] = 0x1B;
    const QByteArray inner = QByteArray::fromHex("2001FF080401AA20");
    blocks.replace(100, inner.size(), inner);
    const ReplyShape awaited = ReplyShape::of(FrameBuilder::readRequest(0x1B));
    ReplyAssembler assembler;
    assembler.append(blocks.left(300));
    QCOMPARE(takeAll(assembler, &awaited), QList<QByteArray>{});
    assembler.append(blocks.mid(300));
    QCOMPARE(takeAll(assembler, &awaited), QList<QByteArray>{blocks});
    QVERIFY(awaited.matches(blocks));
    QVERIFY(!ReplyShape::acknowledgement().matches(blocks));
    QVERIFY(ReplyShape::acknowledgement().matches(inner));
}

// Noise whose 0x20 announces a length the awaited reply may have, in front
// of that reply: the reply is taken at once, not after the noise's length.
void TestFrames::falseStartGivesWayToTheAwaitedReply()
{
    const QByteArray network = readReply(31, 0x14);
    const ReplyShape awaited = ReplyShape::of(FrameBuilder::readRequest(0x14));
    ReplyAssembler assembler;
    assembler.append(QByteArray::fromHex("20000100") + network);
    QCOMPARE(takeAll(assembler, &awaited), QList<QByteArray>{network});
    QVERIFY(assembler.isEmpty());
}

// Devices differ in the length of a read's reply and in what byte 8
// holds: a reply answers a read when it holds every byte the host reads,
// is no longer than the longest reply taken, and its byte 8 does not name
// another read.
void TestFrames::readReplyShapes_data()
{
    QTest::addColumn<quint8>("code");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("answers");
    const int network = ReplyLayout::shortestReply(0x14);
    QTest::newRow("network, shortest") << quint8(0x14) << readReply(network, 0x14) << true;
    QTest::newRow("network, one byte short") << quint8(0x14) << readReply(network - 1, 0x14) << false;
    QTest::newRow("network, spare bytes") << quint8(0x14) << readReply(network + 3, 0x14) << true;
    QTest::newRow("network, byte 8 zero") << quint8(0x14) << readReply(network, 0) << true;
    QTest::newRow("network, byte 8 a write code") << quint8(0x14) << readReply(network, 0x49) << true;
    QTest::newRow("network, byte 8 another read") << quint8(0x14) << readReply(network + 3, 0x13) << false;
    QTest::newRow("windows, longest taken")
        << quint8(0x1A) << readReply(ReplyShape::MaxLength, 0x1A) << true;
    QTest::newRow("windows, one byte short")
        << quint8(0x1A) << readReply(ReplyLayout::LongestRead - 1, 0x1A) << false;
    QByteArray unended = readReply(network, 0x14);
    unended[network - 1] = 0x21;
    QTest::newRow("network, no trailer") << quint8(0x14) << unended << false;
    QByteArray misannounced = readReply(network + 2, 0x14);
    misannounced[3] = static_cast<char>(network);
    QTest::newRow("network, longer than announced") << quint8(0x14) << misannounced << false;
    QTest::newRow("network, an acknowledgement")
        << quint8(0x14) << QByteArray::fromHex("2001FF080401AA20") << false;
}

void TestFrames::readReplyShapes()
{
    QFETCH(quint8, code);
    QFETCH(QByteArray, reply);
    QFETCH(bool, answers);
    const ReplyShape shape = ReplyShape::of(FrameBuilder::readRequest(code));
    QCOMPARE(shape.matches(reply), answers);
    ReplyAssembler assembler;
    assembler.append(reply);
    const QByteArray taken = assembler.takeReply(&shape);
    QCOMPARE(!taken.isEmpty() && shape.matches(taken), answers);
}

void TestFrames::clearDropsHalfReply()
{
    ReplyAssembler assembler;
    const QByteArray whole = reply(16);
    assembler.append(reply(30).left(12));
    assembler.clear();
    assembler.append(whole);
    QCOMPARE(takeAll(assembler), QList<QByteArray>{whole});
}

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_frames.moc"
