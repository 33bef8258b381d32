#include <devicedata.h>
#include <framebuilder.h>
#include <replyparser.h>

#include "replybytes.h"
#include "signalrecorder.h"

#include <QtTest>

#include <memory>

namespace {

using ReplyBytes::hex;
using ReplyBytes::reply;

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
    void statusBadPreset();
    void presetReadReplacesWindows();
    void presetReadWithoutFirstHalf();
    void presetReadBadPreset();
    void versions();
    void inputCards();
    void signalFlags();
    void readNetwork();
    void writeNetwork();
    void entryCommands();
    void modeSwitchOff();
    void rectangles();
    void factoryDefaults();
    void wallAccepted();
    void countedOnly();
    void tooShort_data();
    void tooShort();
    void entryOutOfRange();

private:
    QList<QByteArray> handle(const QByteArray &sent, const QByteArray &replyBytes);

    DeviceData m_data;
    QByteArray m_buffer;
    QByteArray m_checkSum;
    QByteArray m_lastCheckSum;
    QString m_ip, m_mask, m_gateway, m_mac;
    int m_port = 0;
    std::unique_ptr<ReplyParser> m_parser;
    std::unique_ptr<SignalRecorder> m_signals;
};

void TestReplyParser::init()
{
    m_data = DeviceData();
    m_buffer.clear();
    m_checkSum = m_lastCheckSum = hex("0102030405060708");
    m_ip = m_mask = m_gateway = m_mac = QString();
    m_port = 0;
    m_parser = std::make_unique<ReplyParser>(ReplyParser::State{m_data, m_buffer, m_checkSum,
                                                                m_lastCheckSum, m_ip, m_mask,
                                                                m_gateway, m_mac, m_port});
    m_signals = std::make_unique<SignalRecorder>(m_parser.get());
}

QList<QByteArray> TestReplyParser::handle(const QByteArray &sent, const QByteArray &replyBytes)
{
    return m_parser->handle(sent, replyBytes);
}

void TestReplyParser::statusSameTag()
{
    m_lastCheckSum = DeviceTag;
    m_data.setWallSize(1, 3);
    QVERIFY(handle(read(0x19), status(2, 2)).isEmpty());
    QCOMPARE(m_signals->names,
             (QStringList{"isFistConnect", "repalceInCardMes", "repalceAllPage"}));
    QCOMPARE(m_data.inCards[0].present, 1);
    QCOMPARE(m_data.inCards[9].present, 1);
    QCOMPARE(m_data.inCards[9].cardType, 2);
    QCOMPARE(m_data.inCards[1].present, 0);
    QCOMPARE(m_data.cols(), 3); // the host's own wall stays
}

void TestReplyParser::statusOtherTag()
{
    const QList<QByteArray> followUp = handle(read(0x19), status(2, 3));
    QCOMPARE(followUp, FrameBuilder::presetReads());
    QCOMPARE(m_signals->names,
             (QStringList{"isFistConnect", "repalceInCardMes", "replaceWinPages"}));
    QCOMPARE(m_checkSum, DeviceTag);
    QCOMPARE(m_lastCheckSum, DeviceTag);
    QCOMPARE(m_data.outResolution, 7);
    QCOMPARE(m_data.outWidth, 2560);
    QCOMPARE(m_data.outMode2, 2);
    QCOMPARE(m_data.colWidths, (QVector<int>{1000, 1001, 1002}));
    QCOMPARE(m_data.rowHeights, (QVector<int>{500, 501}));
    QCOMPARE(m_data.curModel, 5);
}

void TestReplyParser::statusWall_data()
{
    QTest::addColumn<int>("rows");
    QTest::addColumn<int>("cols");
    QTest::addColumn<bool>("taken");
    QTest::newRow("1 x 1") << 1 << 1 << true;
    QTest::newRow("4 x 8") << 4 << 8 << true;
    QTest::newRow("1 x 16") << 1 << 16 << true;
    QTest::newRow("0 x 4") << 0 << 4 << false;
    QTest::newRow("4 x 0") << 4 << 0 << false;
    QTest::newRow("5 x 7") << 5 << 7 << false;
    QTest::newRow("8 x 8") << 8 << 8 << false;
    QTest::newRow("1 x 40") << 1 << 40 << false;
}

// Only a wall the frame can hold is taken; anything else falls back to 2 x 2.
void TestReplyParser::statusWall()
{
    QFETCH(int, rows);
    QFETCH(int, cols);
    QFETCH(bool, taken);
    m_data.setWallSize(3, 3);
    handle(read(0x19), status(rows, cols));
    if (taken) {
        QCOMPARE(m_data.rows(), rows);
        QCOMPARE(m_data.cols(), cols);
        QCOMPARE(m_data.colWidths.last(), 1000 + cols - 1);
        QCOMPARE(m_data.rowHeights.last(), 500 + rows - 1);
        QCOMPARE(m_data.curModel, 5);
    } else {
        QCOMPARE(m_data.colWidths, (QVector<int>{1920, 1920}));
        QCOMPARE(m_data.rowHeights, (QVector<int>{1080, 1080}));
        QCOMPARE(m_data.curModel, 0);
    }
}

void TestReplyParser::statusBadPreset()
{
    handle(read(0x19), status(1, 1, 16));
    QCOMPARE(m_data.curModel, 0);
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

void TestReplyParser::presetReadWithoutFirstHalf()
{
    handle(read(0x1A, 2), reply(100));
    handle(read(0x1B, 2), presetSecond());
    QCOMPARE(m_data.modelWinCount[2], 0);
    QVERIFY(m_data.modelWins[2].isEmpty());
}

void TestReplyParser::presetReadBadPreset()
{
    handle(read(0x1A, 16), presetFirst({1}));
    handle(read(0x1B, 16), presetSecond());
    for (int m = 0; m < 16; ++m)
        QVERIFY(m_data.modelWins[m].isEmpty());
    QVERIFY(m_signals->names.isEmpty());
}

void TestReplyParser::versions()
{
    m_data.inCards[1].cardType = 3;
    m_data.inCards[1].present = 1;
    m_data.inVersion[1] = {9, 9, 9};
    QByteArray bytes = reply(132);
    bytes.replace(9, 3, hex("010203"));
    bytes.replace(12, 3, hex("040506"));       // slot 0
    bytes.replace(12 + 3 * 23, 3, hex("0708FF")); // slot 23
    bytes.replace(108, 2, hex("0A0B"));        // output 0
    bytes.replace(130, 2, hex("0C0D"));        // output 11
    handle(read(0x13), bytes);
    QCOMPARE(m_data.sysVersion, (DeviceData::Version{1, 2, 3}));
    QCOMPARE(m_data.inVersion[0], (DeviceData::Version{4, 5, 6}));
    QCOMPARE(m_data.inVersion[1], (DeviceData::Version{-3, 1, 9}));
    QCOMPARE(m_data.inVersion[23], (DeviceData::Version{7, 8, 255}));
    QCOMPARE(m_data.outVersion[0], (DeviceData::Version{10, 11, -1}));
    QCOMPARE(m_data.outVersion[11], (DeviceData::Version{12, 13, -1}));
    QCOMPARE(m_signals->names, QStringList{"repalceVersion"});
}

void TestReplyParser::inputCards()
{
    QByteArray bytes = reply(905);
    bytes.replace(9, 6, hex("0401020304 05"));
    bytes.replace(9 + 28 * 31, 5, hex("1F00000003"));
    handle(read(0x11), bytes);
    QCOMPARE(m_data.inCards[0].cardId, 4);
    QCOMPARE(m_data.inCards[0].mainSignal, 2);
    QCOMPARE(m_data.inCards[0].mode, 4);
    QCOMPARE(m_data.inCards[0].light, 5);
    QCOMPARE(m_data.inCards[31].cardId, 31);
    QCOMPARE(m_data.inCards[31].mode, 3);
    QVERIFY(m_signals->names.isEmpty());
}

void TestReplyParser::signalFlags()
{
    QByteArray bytes = reply(17);
    bytes[16] = 0x09; // entry 0: A; entry 1: B
    bytes[9] = static_cast<char>(0xC0); // entry 31: A and B
    handle(read(0x1C), bytes);
    QCOMPARE(m_data.inCards[0].sigFlagA, 1);
    QCOMPARE(m_data.inCards[0].sigFlagB, 0);
    QCOMPARE(m_data.inCards[1].sigFlagA, 0);
    QCOMPARE(m_data.inCards[1].sigFlagB, 1);
    QCOMPARE(m_data.inCards[31].sigFlagA, 1);
    QCOMPARE(m_data.inCards[31].sigFlagB, 1);
    QCOMPARE(m_data.inCards[30].sigFlagA, 0);
    QCOMPARE(m_signals->names, QStringList{"repalceInCardMes"});
}

void TestReplyParser::readNetwork()
{
    QByteArray bytes = reply(28);
    bytes.replace(9, 12, hex("C0A80108 FFFFFF00 C0A80101"));
    bytes.replace(24, 4, hex("0A1B2C07"));
    handle(read(0x14), bytes);
    QCOMPARE(m_ip, QStringLiteral("192.168.1.8"));
    QCOMPARE(m_mask, QStringLiteral("255.255.255.0"));
    QCOMPARE(m_gateway, QStringLiteral("192.168.1.1"));
    QCOMPARE(m_mac, QStringLiteral("0A-1B-2C"));
    QCOMPARE(m_port, 7);
    QCOMPARE(m_signals->names, QStringList{"repalceConnect"});
}

void TestReplyParser::writeNetwork()
{
    const QByteArray payload = hex("00 0A000005 00 FFFF0000 00 0A000001 00 AB0C0D 0000");
    handle(write(0x4B, payload), reply(8));
    QCOMPARE(m_ip, QStringLiteral("10.0.0.5"));
    QCOMPARE(m_mask, QStringLiteral("255.255.0.0"));
    QCOMPARE(m_gateway, QStringLiteral("10.0.0.1"));
    QCOMPARE(m_mac, QStringLiteral("AB-0C-0D"));
    QCOMPARE(m_signals->names, QStringList{"send_explain_end(10)"});
}

void TestReplyParser::entryCommands()
{
    handle(write(0x80, hex("0302")), reply(8));
    QCOMPARE(m_data.inCards[3].mainSignal, 2);
    handle(write(0x82, hex("0401")), reply(8));
    QCOMPARE(m_data.inCards[4].auxSignal, 1);
    QCOMPARE(m_data.inCards[4].mode, 2);
    handle(write(0x84, hex("0503")), reply(8));
    QCOMPARE(m_data.inCards[5].auxSignal, 3);
    QCOMPARE(m_data.inCards[5].mode, 4);
    handle(write(0x8A, hex("0609080706")), reply(8));
    QCOMPARE(m_data.inCards[6].captionValues, (std::array<int, 4>{9, 8, 7, 6}));
    handle(write(0x81, hex("0701")), reply(8));
    QCOMPARE(m_data.inCards[7].mode, 1);
    handle(write(0x83, hex("0801")), reply(8));
    QCOMPARE(m_data.inCards[8].mode, 3);
    QCOMPARE(m_signals->names,
             (QStringList{"repalceInCardMainSingle(3)", "repalceInCardPIP", "repalceInCardText",
                          "repalceInCardText", "repalceInCardMainSingle(7)",
                          "repalceInCardMainSingle(8)"}));
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

void TestReplyParser::rectangles()
{
    handle(write(0x85, hex("01 1000 8007 2000 3804")), reply(8));
    QCOMPARE(m_data.inCards[1].rectA, (std::array<int, 4>{16, 1920, 32, 1080}));
    QVERIFY(m_signals->names.isEmpty());
    handle(write(0x86, hex("01 0000 C003 0000 1C02")), reply(8));
    QCOMPARE(m_data.inCards[1].rectB, (std::array<int, 4>{0, 960, 0, 540}));
    QCOMPARE(m_signals->names, QStringList{"repalceInCardPIP"});
}

void TestReplyParser::factoryDefaults()
{
    m_data.setWallSize(1, 4);
    m_data.curModel = 9;
    m_data.modelView[3] = "view";
    m_data.inCards[2].present = 1;
    m_data.inCards[2].light = 10;
    m_data.inCards[3].light = 10;
    handle(write(0x47, {}), reply(8));
    QCOMPARE(m_data.outResolution, 6);
    QCOMPARE(m_data.outMode2, 4);
    QCOMPARE(m_data.outWidth, 1920);
    QCOMPARE(m_data.colWidths, (QVector<int>{1920, 1920}));
    QCOMPARE(m_data.rowHeights, (QVector<int>{1080, 1080}));
    QCOMPARE(m_data.curModel, 0);
    QVERIFY(m_data.modelView[3].isEmpty());
    QCOMPARE(m_data.inCards[2].light, 50);
    QCOMPARE(m_data.inCards[2].mainSignal, 1);
    QCOMPARE(m_data.inCards[2].rectB, (std::array<int, 4>{0, 960, 0, 540}));
    QCOMPARE(m_data.inCards[3].light, 10);
    QCOMPARE(m_signals->names, (QStringList{"replaceWinPages", "repalceInCardMes", "repalceCard"}));
}

void TestReplyParser::wallAccepted()
{
    handle(write(0x41, QByteArray(279, '\0')), reply(8));
    QCOMPARE(m_signals->names, QStringList{"repalceeSendPage"});
}

void TestReplyParser::countedOnly()
{
    for (quint8 code : {0x42, 0x43, 0x44, 0x45, 0x48, 0x49, 0x4A, 0x87, 0x88, 0x89, 0x8B})
        QVERIFY(handle(write(code, hex("0102")), reply(8)).isEmpty());
    handle(QByteArray(), reply(8));
    QVERIFY(m_signals->names.isEmpty());
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
    QTest::newRow("0x1B") << read(0x1B, 1) << 520;
}

// A reply shorter than the bytes its handler reads stores nothing.
void TestReplyParser::tooShort()
{
    QFETCH(QByteArray, sent);
    QFETCH(int, size);
    m_buffer = presetFirst({0});
    const DeviceData before = m_data;
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("not taken")));
    QVERIFY(handle(sent, reply(size)).isEmpty());
    QVERIFY(m_signals->names.isEmpty());
    QCOMPARE(m_checkSum, hex("0102030405060708"));
    QCOMPARE(m_data.inCards[0].cardId, before.inCards[0].cardId);
    QVERIFY(m_data.modelWins[1].isEmpty());
    QVERIFY(m_ip.isEmpty());
}

void TestReplyParser::entryOutOfRange()
{
    for (quint8 code : {0x80, 0x81, 0x82, 0x83, 0x84})
        handle(write(code, hex("2001")), reply(8));
    handle(write(0x8A, hex("FF01020304")), reply(8));
    handle(write(0x85, hex("20 0100 0100 0100 0100")), reply(8));
    handle(write(0x86, hex("20 0100 0100 0100 0100")), reply(8));
    QVERIFY(m_signals->names.isEmpty());
}

QTEST_GUILESS_MAIN(TestReplyParser)
#include "tst_replyparser.moc"
