#include "devicedata.h"

#include <QtTest>

namespace {

InCardEntry card(int id, int type, int mainSignal = 0, int flagA = 1, int flagB = 1)
{
    InCardEntry e;
    e.cardId = id;
    e.present = 1;
    e.cardType = type;
    e.mainSignal = mainSignal;
    e.sigFlagA = flagA;
    e.sigFlagB = flagB;
    return e;
}

} // namespace

class TestDeviceData : public QObject
{
    Q_OBJECT

private slots:
    void wallSizeStaysWithinTheFrame();
    void channelCodes_data();
    void channelCodes();
    void channelListsFollowTheSlots();
    void labelsCarryNumberSignalAndName();
    void codesWithoutNameSlotAreHarmless();
    void cardStatus_data();
    void cardStatus();
    void resolutionTable_data();
    void resolutionTable();
    void badWindowBlocksAreIgnored();
    void inCardChunkFillsAnEntry();
    void presetNamesAndViews();
};

void TestDeviceData::wallSizeStaysWithinTheFrame()
{
    DeviceData data;
    data.setWallSize(4, 8, 640, 360);
    QCOMPARE(data.rows(), 4);
    QCOMPARE(data.cols(), 8);
    QCOMPARE(data.colWidths.count(640), 8);
    QCOMPARE(data.rowHeights.count(360), 4);

    for (const QPair<int, int> &bad : {qMakePair(0, 2), qMakePair(2, 0), qMakePair(17, 1),
                                       qMakePair(1, 17), qMakePair(5, 7), qMakePair(-1, -1)}) {
        QVERIFY(!DeviceData::isValidWallSize(bad.first, bad.second));
        data.setWallSize(bad.first, bad.second);
        QCOMPARE(data.rows(), 4);
        QCOMPARE(data.cols(), 8);
    }
    QVERIFY(DeviceData::isValidWallSize(16, 2));
    QVERIFY(DeviceData::isValidWallSize(1, 16));
}

void TestDeviceData::channelCodes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("number");
    QTest::addColumn<int>("sub");
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("slot");
    QTest::addColumn<QString>("name");
    QTest::newRow("one channel first") << 0 << 0 << 0 << 0 << 0 << "In1";
    QTest::newRow("one channel") << 0 << 7 << 0 << 7 << 14 << "In8";
    QTest::newRow("one channel last") << 0 << 31 << 0 << 31 << 62 << "In32";
    QTest::newRow("hdmi first") << 1 << 0 << 0 << 32 << 0 << "In1_HDMI1";
    QTest::newRow("hdmi 1 first") << 1 << 1 << 0 << 34 << 2 << "In2_HDMI3";
    QTest::newRow("hdmi 3 second") << 1 << 3 << 1 << 39 << 7 << "In4_HDMI4";
    QTest::newRow("hdmi last") << 1 << 31 << 1 << 95 << 63 << "In32_HDMI4";
    QTest::newRow("dvi first") << 2 << 0 << 0 << 96 << 0 << "In1_DVI1";
    QTest::newRow("dvi second") << 2 << 0 << 1 << 97 << 1 << "In1_DVI2";
    QTest::newRow("dvi 5 second") << 2 << 5 << 1 << 107 << 11 << "In6_DVI4";
    QTest::newRow("sdi first") << 3 << 0 << 0 << 160 << 0 << "In1_SDI1";
    QTest::newRow("sdi last") << 3 << 31 << 1 << 223 << 63 << "In32_SDI4";
}

void TestDeviceData::channelCodes()
{
    QFETCH(int, type);
    QFETCH(int, number);
    QFETCH(int, sub);
    QFETCH(int, code);
    QCOMPARE(DeviceData::channelCode(type, number, sub), code);
    QCOMPARE(DeviceData::channelNumber(code), number);
    QCOMPARE(DeviceData::channelSub(code), sub);
    QTEST(DeviceData::nameSlot(code), "slot");
    QTEST(DeviceData::channelName(code), "name");
}

void TestDeviceData::channelListsFollowTheSlots()
{
    DeviceData data;
    data.inCards[0] = card(0, 0, 3, 1);    // CVBS with signal
    data.inCards[1] = card(1, 0, 1, 0);    // DVI without signal
    data.inCards[4] = card(2, 1, 0, 1, 0); // HDMI pair, even slot
    data.inCards[5] = card(3, 1, 0, 0, 1); // HDMI pair, odd slot
    data.inCards[6] = card(4, 3);          // SDI pair, even slot
    data.inCards[9] = card(9, 2);          // not fitted
    data.inCards[9].present = 0;

    QCOMPARE(data.channelList(), QList<int>({0, 1, 36, 37, 38, 39, 168, 169}));
    QCOMPARE(data.channelSignalList(), QList<int>({3, 1, 4, 5, 6, 7, 12, 13}));
    QCOMPARE(data.channelStateList(), QList<int>({3, 11, 4, 15, 16, 7, 4, 5}));
}

void TestDeviceData::labelsCarryNumberSignalAndName()
{
    DeviceData data;
    data.setInCardName(QStringLiteral("Cam"), 2);
    data.setInCardName(QStringLiteral("Stage %1"), 39);
    QCOMPARE(data.inCardName(2), QStringLiteral("Cam"));
    QCOMPARE(data.inCardNames[7], QStringLiteral("Stage %1"));

    const QStringList labels = data.channelLabels({0, 2, 38, 39}, {3, 1, 6, 7});
    QCOMPARE(labels, QStringList({QStringLiteral("In1_CVBS"), QStringLiteral("In3_DVI_Cam"),
                                  QStringLiteral("In4_HDMI3"),
                                  QStringLiteral("In4_HDMI4_Stage %1")}));
}

void TestDeviceData::codesWithoutNameSlotAreHarmless()
{
    DeviceData data;
    for (int code : {-1, 224, 1000}) {
        QCOMPARE(DeviceData::nameSlot(code), -1);
        data.setInCardName(QStringLiteral("x"), code);
        QCOMPARE(data.inCardName(code), QString());
    }
    for (const QString &name : data.inCardNames)
        QVERIFY(name.isEmpty());
    QCOMPARE(DeviceData::channelName(224), QStringLiteral("In225"));
    QCOMPARE(data.channelLabels({224}, {99}), QStringList(QStringLiteral("In225_")));
}

void TestDeviceData::cardStatus_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("second");
    QTest::addColumn<int>("third");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fitted");

    QTest::newRow("empty slot") << 255 << 255 << 255 << "No card" << false;
    QTest::newRow("empty output") << 255 << 255 << -1 << "No card" << false;
    QTest::newRow("255 255 0 is a version") << 255 << 255 << 0 << "V255.255.0" << true;
    QTest::newRow("pair not fitted") << -2 << 0 << 0 << "No card" << false;
}

// Versions and the kinds of pair are shown end to end by the communication
// test's dialog; these are the borders of "No card".
void TestDeviceData::cardStatus()
{
    QFETCH(int, first);
    QFETCH(int, second);
    QFETCH(int, third);
    QFETCH(QString, text);
    QFETCH(bool, fitted);

    const DeviceData::CardStatus status = DeviceData::cardStatus({first, second, third});
    QCOMPARE(status.text, text);
    QCOMPARE(status.style == DeviceData::cardStatus({1, 0, 0}).style, fitted); // lit as a fitted card
}

void TestDeviceData::resolutionTable_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QSize>("size");

    QTest::newRow("first") << 1 << QSize(1440, 1440);
    QTest::newRow("last") << 12 << QSize(1600, 1344);
    QTest::newRow("5 keeps the size") << 5 << QSize(123, 45);
    QTest::newRow("13 keeps the size") << 13 << QSize(123, 45);
}

void TestDeviceData::resolutionTable()
{
    QFETCH(int, code);
    QFETCH(QSize, size);

    DeviceData data;
    data.outWidth = 123;
    data.outHeight = 45;
    data.setResolution(code);
    QCOMPARE(QSize(data.outWidth, data.outHeight), size);
}

void TestDeviceData::badWindowBlocksAreIgnored()
{
    DeviceData data;
    const QByteArray block(WinData::BlockSize, '\1');
    data.addWindow(0, block.left(35));
    data.addWindow(-1, block);
    data.addWindow(DeviceData::Presets, block);
    for (const QList<WinData> &wins : data.modelWins)
        QVERIFY(wins.isEmpty());
}

void TestDeviceData::inCardChunkFillsAnEntry()
{
    QByteArray chunk;
    for (int i = 0; i < 28; ++i)
        chunk.append(char(i + 1));
    chunk[12] = char(0x80); // rectangle A x = 0x0780 = 1920
    chunk[13] = 0x07;

    DeviceData data;
    data.setInCardChunk(3, chunk);
    const InCardEntry &e = data.inCards[3];
    // A one-channel card's presence comes from the status.
    QCOMPARE(QList<int>({e.cardId, e.present, e.mainSignal, e.auxSignal, e.mode, e.light, e.contrast, e.color}),
             QList<int>({1, 0, 3, 4, 5, 6, 7, 8}));
    QCOMPARE(e.captionValues, (std::array<int, 4>{9, 10, 11, 12}));
    QCOMPARE(e.rectA, (std::array<int, 4>{1920, 15 | 16 << 8, 17 | 18 << 8, 19 | 20 << 8}));
    QCOMPARE(e.rectB, (std::array<int, 4>{21 | 22 << 8, 23 | 24 << 8, 25 | 26 << 8, 27 | 28 << 8}));

    data.inCards[4].cardType = 2;
    data.setInCardChunk(4, chunk);
    QCOMPARE(data.inCards[4].present, 2);

    data.setInCardChunk(5, chunk.left(27));
    data.setInCardChunk(32, chunk);
    data.setInCardChunk(-1, chunk);
    QCOMPARE(data.inCards[5].cardId, 0);
}

void TestDeviceData::presetNamesAndViews()
{
    DeviceData data;
    data.setModelName(QStringLiteral("Finale"), 15);
    data.setModelName(QStringLiteral("lost"), 16);
    QCOMPARE(data.modelName(16), QString());
    QCOMPARE(data.modelNameList().size(), 16);
    QCOMPARE(data.modelNameList().last(), QStringLiteral("Finale"));
}

QTEST_GUILESS_MAIN(TestDeviceData)
#include "tst_devicedata.moc"
