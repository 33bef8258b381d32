#include <devicedata.h>
#include <framebuilder.h>
#include <replyparser.h>

#include "framebytes.h"
#include "signalrecorder.h"

#include <QtTest>

#include <memory>

namespace {

using FrameBytes::hex;
using FrameBytes::reply;

QByteArray read(quint8 code, quint8 param = 0)
{
    return FrameBuilder::readRequest(code, param);
}

QByteArray write(quint8 code, const QByteArray &params)
{
    return FrameBuilder::sizedWriteFrame(code, params, QByteArray(8, '\x07'));
}

void putWord(QByteArray &bytes, int i, int value)
{
    bytes[i] = static_cast<char>(value & 0xFF);
    bytes[i + 1] = static_cast<char>(value >> 8);
}

const QByteArray DeviceTag = hex("1122334455667788");

// A device status reply: entries 0 and 9 fitted, entry 9 a DVI card, the
// device's tag, and the given wall with 1000 + c wide columns and 500 + r
// high rows.
QByteArray status(int rows, int cols, int preset = 5)
{
    QByteArray bytes = reply(360);
    bytes[12] = 0x01;         // entry 0
    bytes[11] = 0x02;         // entry 9
    bytes[18] = 0x02 << 2;    // entry 9: type 2
    bytes[23] = 7;
    bytes[24] = 1;
    bytes[25] = static_cast<char>(rows);
    bytes[26] = static_cast<char>(cols);
    for (int k = 0; k < rows * cols && k < 32; ++k) {
        putWord(bytes, 33 + 8 * k, 1000 + k % cols);
        putWord(bytes, 37 + 8 * k, 500 + k / cols);
    }
    bytes[287] = static_cast<char>(preset);
    bytes.replace(352, 8, DeviceTag);
    return bytes;
}

// The first reply of a preset read with a window in block k when k is in
// windows; every block's id is its number, the layers count up from 100.
QByteArray presetFirst(const QList<int> &windows)
{
    QByteArray bytes = reply(1865);
    for (int k : windows) {
        bytes[9 + 28 * k] = static_cast<char>(k);
        bytes[10 + 28 * k] = 1;
    }
    for (int j = 0; j < 64; ++j)
        bytes[1801 + j] = static_cast<char>(100 + j);
    return bytes;
}

QByteArray presetSecond()
{
    QByteArray bytes = reply(521);
    for (int k = 0; k < 64; ++k)
        putWord(bytes, 9 + 8 * k + 6, 10 + k); // rect B height
    return bytes;
}

} // namespace

// What each reply stores into the record and the link's state.
class TestReplyParser : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void statusSameTag();
    void statusOtherTag();
    void statusWall_data();
    void statusWall();
    void presetReadReplacesWindows();
    void presetReadWithoutFirstHalf();
    void writeNetwork();
    void modeSwitchOff();
    void factoryDefaults();
    void countedOnly();
    void tooShort_data();
    void tooShort();
    void entryOutOfRange();

private:
    QList<QByteArray> handle(const QByteArray &sent, const QByteArray &replyBytes);
    bool takes(const QByteArray &sent, const QByteArray &replyBytes);

    DeviceData m_data;
    ReplyParser::OwnState m_state;
    std::unique_ptr<ReplyParser> m_parser;
    std::unique_ptr<SignalRecorder> m_signals;
};

void TestReplyParser::init()
{
    m_data = DeviceData();
    m_state = ReplyParser::OwnState();
    m_state.checkSum = m_state.lastCheckSum = hex("0102030405060708");
    m_parser = std::make_unique<ReplyParser>(m_state.over(m_data));
    m_signals = std::make_unique<SignalRecorder>(m_parser.get());
}

QList<QByteArray> TestReplyParser::handle(const QByteArray &sent, const QByteArray &replyBytes)
{
    return m_parser->handle(sent, replyBytes).followUp;
}

bool TestReplyParser::takes(const QByteArray &sent, const QByteArray &replyBytes)
{
    return m_parser->handle(sent, replyBytes).taken;
}

// The end-to-end tests compare the rest of the record with the simulator's.
void TestReplyParser::statusSameTag()
{
    m_state.lastCheckSum = DeviceTag;
    m_data.setWallSize(1, 3);
    QVERIFY(handle(read(0x19), status(2, 2)).isEmpty());
    QCOMPARE(m_signals->names, (QStringList{"isFistConnect", "repalceInCardMes", "repalceAllPage"}));
    QCOMPARE(QList<int>({m_data.inCards[0].present, m_data.inCards[9].present, m_data.inCards[9].cardType,
                         m_data.inCards[1].present}), QList<int>({1, 1, 2, 0}));
    QCOMPARE(m_data.cols(), 3); // the host's own wall stays
}

// The device's tag becomes the host's only once every preset is in; until
// then the host's data are not trusted and its tags stay cleared.
void TestReplyParser::statusOtherTag()
{
    QCOMPARE(handle(read(0x19), status(2, 3)), FrameBuilder::presetReads());
    QCOMPARE(m_signals->names, (QStringList{"isFistConnect", "repalceInCardMes", "replaceWinPages"}));
    QCOMPARE(QList<int>({m_data.outResolution, m_data.outWidth, m_data.outMode2}), QList<int>({7, 2560, 2}));
    for (int m = 0; m < 16; ++m) {
        QVERIFY(m_state.checkSum.isEmpty() && m_state.lastCheckSum.isEmpty() && !m_state.tagTrusted);
        if (m == 7)
            continue; // this preset's reads are lost
        QVERIFY(takes(read(0x1A, quint8(m)), presetFirst({})));
        QVERIFY(takes(read(0x1B, quint8(m)), presetSecond()));
    }
    QVERIFY(m_state.checkSum.isEmpty() && !m_state.tagTrusted);

    handle(read(0x19), status(2, 3));
    for (int m = 0; m < 16; ++m) {
        handle(read(0x1A, quint8(m)), presetFirst({}));
        handle(read(0x1B, quint8(m)), presetSecond());
    }
    QCOMPARE(m_state.checkSum, DeviceTag);
    QCOMPARE(m_state.lastCheckSum, DeviceTag);
    QVERIFY(m_state.tagTrusted);
}

void TestReplyParser::statusWall_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<int>("preset");
    QTest::addColumn<bool>("taken");
    QTest::newRow("4 x 8") << 4 << 8 << 5 << true;
    QTest::newRow("1 x 16") << 1 << 16 << 5 << true;
    QTest::newRow("5 x 7") << 5 << 7 << 5 << false;
    QTest::newRow("preset 16") << 1 << 1 << 16 << true;
}

// Only a wall the frame can hold is taken (the rule has its own test);
// anything else falls back to 2 x 2. A preset number past the last reads
// as preset 0.
void TestReplyParser::statusWall()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(int, preset);
    QFETCH(bool, taken);
    m_data.setWallSize(3, 3);
    handle(read(0x19), status(rows, cols, preset));
    QCOMPARE(m_data.curModel, taken && preset < 16 ? preset : 0);
    if (taken) {
        QCOMPARE(QSize(m_data.cols(), m_data.rows()), QSize(cols, rows));
        QCOMPARE(m_data.colWidths.last(), 1000 + cols - 1);
        QCOMPARE(m_data.rowHeights.last(), 500 + rows - 1);
    } else {
        QCOMPARE(m_data.colWidths, (QVector<int>{1920, 1920}));
        QCOMPARE(m_data.rowHeights, (QVector<int>{1080, 1080}));
    }
}

void TestReplyParser::presetReadReplacesWindows()
{
    for (int round = 0; round < 2; ++round) {
        QVERIFY(handle(read(0x1A, 15), presetFirst({0, 5, 63})).isEmpty());
        QVERIFY(handle(read(0x1B, 15), presetSecond()).isEmpty());
    }
    QCOMPARE(m_data.modelWins[15].size(), 3);
    QCOMPARE(m_data.modelWinCount[15], 3);
    QCOMPARE(m_data.modelWins[15][1].winId, 5);
    QCOMPARE(m_data.modelWins[15][2].rectB.height(), 10 + 63);
    QCOMPARE(m_data.modelLayer[15][0], 100);
    QCOMPARE(m_data.modelLayer[15][63], 163);
    QCOMPARE(m_signals->names, (QStringList{"replaceWins", "replaceWins"}));

    handle(read(0x1A, 3), presetFirst({}));
    handle(read(0x1B, 3), presetSecond());
    QCOMPARE(m_data.modelWinCount[3], 0);
    QVERIFY(m_data.modelWins[3].isEmpty());
    QCOMPARE(m_signals->names.size(), 2); // only after preset 15
}

// A second half without its first, or of a preset past the last, stores
// nothing and is not taken.
void TestReplyParser::presetReadWithoutFirstHalf()
{
    QVERIFY(!takes(read(0x1A, 2), reply(100)));
    QVERIFY(!takes(read(0x1B, 2), presetSecond()));
    QVERIFY(takes(read(0x1A, 1), presetFirst({1})));
    QVERIFY(!takes(read(0x1B, 2), presetSecond()));
    handle(read(0x1A, 16), presetFirst({1}));
    QVERIFY(!takes(read(0x1B, 16), presetSecond()));
    for (int m = 0; m < 16; ++m)
        QVERIFY(m_data.modelWins[m].isEmpty());
    QCOMPARE(m_data.modelWinCount[2], 0);
    QVERIFY(m_signals->names.isEmpty());
}

void TestReplyParser::writeNetwork()
{
    const QByteArray payload = hex("00 0A000005 00 FFFF0000 00 0A000001 00 AB0C0D 0000");
    handle(write(0x4B, payload), reply(8));
    QCOMPARE(QStringList({m_state.ip, m_state.mask, m_state.gateway, m_state.mac}),
             QStringList({"10.0.0.5", "255.255.0.0", "10.0.0.1", "AB-0C-0D"}));
    QCOMPARE(m_signals->names, QStringList{"send_explain_end(10)"});
}

void TestReplyParser::modeSwitchOff()
{
    m_data.inCards[2].mode = 2;
    handle(write(0x81, hex("0200")), reply(8));
    QCOMPARE(m_data.inCards[2].mode, 0);
    m_data.inCards[2].mode = 4;
    handle(write(0x83, hex("0200")), reply(8));
    QCOMPARE(m_data.inCards[2].mode, 0);
}

void TestReplyParser::factoryDefaults()
{
    m_data.setWallSize(1, 4);
    m_data.curModel = 9;
    m_data.modelView[3] = "view";
    m_data.inCards[2].present = 1;
    m_data.inCards[2].light = m_data.inCards[3].light = 10;
    handle(write(0x47, {}), reply(8));
    QCOMPARE(QList<int>({m_data.outResolution, m_data.outMode2, m_data.outWidth, m_data.curModel}),
             QList<int>({6, 4, 1920, 0}));
    QCOMPARE(m_data.colWidths, (QVector<int>{1920, 1920}));
    QCOMPARE(m_data.rowHeights, (QVector<int>{1080, 1080}));
    QVERIFY(m_data.modelView[3].isEmpty());
    const InCardEntry &fitted = m_data.inCards[2];
    QCOMPARE(QList<int>({fitted.light, fitted.mainSignal, m_data.inCards[3].light}), QList<int>({50, 1, 10}));
    QCOMPARE(fitted.rectB, (std::array<int, 4>{0, 960, 0, 540}));
    QCOMPARE(m_signals->names, (QStringList{"replaceWinPages", "repalceInCardMes", "repalceCard"}));
}

// Acknowledgements of writes that store nothing; only the wall reports.
// Light, contrast and colour are kept for the entry of the channel code.
void TestReplyParser::countedOnly()
{
    for (quint8 code : {0x42, 0x43, 0x44, 0x45, 0x48, 0x49, 0x4A, 0x8B})
        QVERIFY(handle(write(code, hex("0102")), reply(8)).isEmpty());
    handle(QByteArray(), reply(8));
    QVERIFY(m_signals->names.isEmpty());
    handle(write(0x41, QByteArray(279, '\0')), reply(8));
    QCOMPARE(m_signals->names, QStringList{"repalceeSendPage"});

    handle(write(0x87, hex("0546")), reply(8));
    handle(write(0x88, hex("2321")), reply(8)); // second HDMI channel of entry 1
    handle(write(0x89, hex("E063")), reply(8)); // no entry: nothing kept
    QCOMPARE(QList<int>({m_data.inCards[5].light, m_data.inCards[1].contrast, m_data.inCards[0].color}),
             QList<int>({70, 33, 0}));
}

void TestReplyParser::tooShort_data()
{
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<int>("size");
    QTest::newRow("0x19") << read(0x19) << 359;
    QTest::newRow("0x14") << read(0x14) << 27;
    QTest::newRow("0x13") << read(0x13) << 131;
    QTest::newRow("0x11") << read(0x11) << 904;
    QTest::newRow("0x1C") << read(0x1C) << 16;
    QTest::newRow("0x1A") << read(0x1A, 1) << 1864;
    QTest::newRow("0x1B") << read(0x1B, 1) << 520;
}

// A reply shorter than the bytes its handler reads stores nothing and
// leaves the request unanswered.
void TestReplyParser::tooShort()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, size);
    handle(read(0x1A, 1), presetFirst({0}));
    const DeviceData before = m_data;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not taken")));
    QVERIFY(!takes(sent, reply(size)));
    QVERIFY(m_signals->names.isEmpty());
    QCOMPARE(m_state.checkSum, hex("0102030405060708"));
    QCOMPARE(m_data.inCards[0].cardId, before.inCards[0].cardId);
    QVERIFY(m_data.modelWins[1].isEmpty());
    QVERIFY(m_state.ip.isEmpty());
}

// The reply is the device's answer all the same: taken, nothing stored.
void TestReplyParser::entryOutOfRange()
{
    for (quint8 code : {0x80, 0x81, 0x82, 0x83, 0x84})
        QVERIFY(takes(write(code, hex("2001")), reply(8)));
    QVERIFY(takes(write(0x8A, hex("FF01020304")), reply(8)));
    QVERIFY(takes(write(0x85, hex("20 0100 0100 0100 0100")), reply(8)));
    QVERIFY(takes(write(0x86, hex("20 0100 0100 0100 0100")), reply(8)));
    QVERIFY(m_signals->names.isEmpty());
}

QTEST_GUILESS_MAIN(TestReplyParser)
#include "tst_replyparser.moc"
