#include <commandbuilder.h>
#include <datataggenerator.h>
#include <devicedata.h>
#include <framebuilder.h>

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

} // namespace

// Request frames, byte for byte, from the catalogue's worked examples.
class TestFrames : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void readRequests_data();
    void readRequests();
    void writeFramesCarryTheirLength_data();
    void writeFramesCarryTheirLength();
    void recallPreset();
    void deleteWindowsKeepsTag();
    void mainSignal();
    void pictureModeLeavesOldGroupFirst();
    void pictureModeFromPlain();
    void pictureModeRefusesBadEntry();
    void wallOneCell();
    void wallCellsAddUpSizes();
    void windowDataLength();
    void rectanglesShareOneTag();
    void captionLengthField();
    void allPresets();
    void allPresetsEmpty();
    void presetReads();
    void connectionRead();
    void readNetworkRenewsTag();
    void tagsAvoid255AndDiffer();

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
    return builder.build(type, {m_data, m_index, m_sendBuf, m_sendBuf2, m_all, m_in, m_ch});
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
    QTest::addColumn<QByteArray>("frame");
    QTest::newRow("10 versions") << 10 << hex("200100100 4FEAA0113 0000000000 AA20");
    QTest::newRow("12 signal flags") << 12 << hex("20010010 04FEAA011C 0000000000 AA20");
    QTest::newRow("193 input cards") << 193 << hex("20010010 04FEAA0111 0000000000 AA20");
}

void TestFrames::readRequests()
{
    QFETCH(int, type);
    QFETCH(QByteArray, frame);
    QCOMPARE(build(type), QList<QByteArray>{frame});
    QCOMPARE(m_checkSum, hex("0102030405060708"));
}

void TestFrames::writeFramesCarryTheirLength_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("payload");
    QTest::addColumn<QByteArray>("head");
    QTest::newRow("15 network") << 15 << 19 << hex("2001002604 01AA014B");
    QTest::newRow("45 channels") << 45 << 1473 << hex("200105D404 01AA0145");
    QTest::newRow("47 factory") << 47 << 0 << hex("2001001304 01AA0147");
    QTest::newRow("48 window signal") << 48 << 2 << hex("2001001604 01AA0148 03");
    QTest::newRow("82 pip signal") << 82 << 1 << hex("2001001504 01AA0182 05");
    QTest::newRow("84 caption signal") << 84 << 1 << hex("2001001504 01AA0184 05");
    QTest::newRow("87 light") << 87 << 2 << hex("2001001504 01AA0187");
    QTest::newRow("88 contrast") << 88 << 2 << hex("2001001504 01AA0188");
    QTest::newRow("89 colour") << 89 << 2 << hex("2001001504 01AA0189");
    QTest::newRow("91 auto") << 91 << 0 << hex("2001001404 01AA018B 05");
}

// Each fixed-layout frame, staged with the payload size its caller uses,
// is exactly as long as its length field says and ends tag, AA 20.
void TestFrames::writeFramesCarryTheirLength()
{
    QFETCH(int, type);
    QFETCH(int, payload);
    QFETCH(QByteArray, head);
    m_data.curModel = 3;
    m_index = 5;
    m_sendBuf = QByteArray(payload, '\x11');
    m_sendBuf2 = QByteArray(payload, '\x22');
    const QList<QByteArray> frames = build(type);
    QCOMPARE(frames.size(), 1);
    const QByteArray &frame = frames.first();
    QVERIFY(frame.startsWith(head));
    QCOMPARE(frame.size(), static_cast<quint8>(frame[2]) * 256 + static_cast<quint8>(frame[3]));
    QVERIFY(frame.endsWith(m_checkSum + hex("AA20")));
    QVERIFY(m_checkSum != hex("0102030405060708"));
}

void TestFrames::recallPreset()
{
    m_data.curModel = 2;
    const QList<QByteArray> frames = build(CommandBuilder::RecallPreset);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames.first(), hex("2001001404 01AA01 4902") + m_checkSum + hex("AA20"));
    QCOMPARE(m_checkSum.size(), 8);
}

void TestFrames::deleteWindowsKeepsTag()
{
    m_data.curModel = 3;
    QCOMPARE(build(CommandBuilder::DeleteWindows),
             QList<QByteArray>{hex("2001001404 01AA0143 03 0102030405060708 AA20")});
}

void TestFrames::mainSignal()
{
    m_index = 5;
    m_sendBuf = hex("02");
    const QList<QByteArray> frames = build(CommandBuilder::SetMainSignal);
    QCOMPARE(frames.size(), 1);
    QCOMPARE(frames.first().size(), 21);
    QCOMPARE(frames.first(), hex("2001001504 01AA0180 0502") + m_checkSum + hex("AA20"));
}

void TestFrames::pictureModeLeavesOldGroupFirst()
{
    m_index = 7;
    m_data.inCards[7].mode = 2;
    m_sendBuf = hex("02");
    const QList<QByteArray> frames = build(CommandBuilder::SwitchPictureMode);
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0], hex("2001001504 01AA0181 0700") + m_checkSum + hex("AA20"));
    QCOMPARE(frames[1], hex("2001001504 01AA0183 0701") + m_checkSum + hex("AA20"));
}

void TestFrames::pictureModeFromPlain()
{
    m_index = 1;
    m_sendBuf = hex("01");
    const QList<QByteArray> on = build(CommandBuilder::SwitchPictureMode);
    QCOMPARE(on, QList<QByteArray>{hex("2001001504 01AA0181 0101") + m_checkSum + hex("AA20")});

    m_data.inCards[1].mode = 3;
    m_sendBuf = hex("00");
    const QList<QByteArray> off = build(CommandBuilder::SwitchPictureMode);
    QCOMPARE(off, QList<QByteArray>{hex("2001001504 01AA0183 0100") + m_checkSum + hex("AA20")});
}

void TestFrames::pictureModeRefusesBadEntry()
{
    m_index = 32;
    m_sendBuf = hex("01");
    QVERIFY(build(CommandBuilder::SwitchPictureMode).isEmpty());
}

void TestFrames::wallOneCell()
{
    m_data.setWallSize(1, 1);
    m_data.outResolution = 6;
    m_data.outMode2 = 4;
    const QList<QByteArray> frames = build(CommandBuilder::WriteWall);
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

void TestFrames::wallCellsAddUpSizes()
{
    m_data.setWallSize(2, 3);
    m_data.colWidths = {100, 200, 300};
    m_data.rowHeights = {50, 60};
    m_data.outMode2 = 2;
    const QByteArray frame = build(CommandBuilder::WriteWall).first();
    QCOMPARE(frame.mid(10, 16), QByteArray(16, '\x01'));
    QCOMPARE(frame.mid(26, 2), hex("0203"));
    // Row 1, column 2 (cell 5): x 300, width 300, y 50, height 60.
    QCOMPARE(frame.mid(32 + 8 * 5, 8), hex("2C01 2C01 3200 3C00"));
    QCOMPARE(frame.mid(32 + 8 * 1, 8), hex("6400 C800 0000 3200"));
}

void TestFrames::windowDataLength()
{
    m_data.curModel = 4;
    m_sendBuf = QByteArray(10, '\x33');
    const QByteArray frame = build(CommandBuilder::WriteWindows).first();
    QCOMPARE(frame.size(), 31);
    QCOMPARE(frame.left(11), hex("2001001F 04 01AA0142 0401"));
    QCOMPARE(frame.mid(11, 10), m_sendBuf);
}

void TestFrames::rectanglesShareOneTag()
{
    m_sendBuf = hex("03 0000 8007 0000 3804");
    m_sendBuf2 = hex("03 1000 C003 2000 1C02");
    const QList<QByteArray> frames = build(CommandBuilder::SetRectangles);
    QCOMPARE(frames.size(), 2);
    QCOMPARE(frames[0], hex("2001001C 04 01AA0185") + m_sendBuf + m_checkSum + hex("AA20"));
    QCOMPARE(frames[1], hex("2001001C 04 01AA0186") + m_sendBuf2 + m_checkSum + hex("AA20"));
}

// The caption frame keeps 23 in its length field although it is 24 bytes
// long: processors in the field accept exactly that.
void TestFrames::captionLengthField()
{
    m_sendBuf = hex("0501020304");
    const QByteArray frame = build(CommandBuilder::SetCaptions).first();
    QCOMPARE(frame.size(), 24);
    QCOMPARE(frame.left(9), hex("20010017 04 01AA018A"));
    QCOMPARE(frame.mid(9, 5), m_sendBuf);
}

void TestFrames::allPresets()
{
    for (int i = 0; i < 16; ++i) {
        m_all << QByteArray(1856, char(i));
        m_in << QByteArray(512, char(i));
        m_ch << QByteArray(1472, char(i));
    }
    const QList<QByteArray> frames = build(CommandBuilder::WriteAllPresets);
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
}

void TestFrames::allPresetsEmpty()
{
    QVERIFY(build(CommandBuilder::WriteAllPresets).isEmpty());
}

void TestFrames::presetReads()
{
    const QList<QByteArray> frames = build(CommandBuilder::ReadAllPresets);
    QCOMPARE(frames.size(), 32);
    for (int k = 0; k < 32; ++k) {
        QCOMPARE(frames[k].size(), 16);
        QCOMPARE(quint8(frames[k][8]), k % 2 == 0 ? 0x1A : 0x1B);
        QCOMPARE(int(frames[k][9]), k / 2);
    }
    QCOMPARE(m_checkSum, hex("0102030405060708"));
}

void TestFrames::connectionRead()
{
    QCOMPARE(build(CommandBuilder::ConnectionRead),
             (QList<QByteArray>{hex("2001001004FEAA0111 0000000000 AA20"),
                                hex("2001001004FEAA0119 0000000000 AA20")}));
    QCOMPARE(m_checkSum, hex("0102030405060708"));
}

void TestFrames::readNetworkRenewsTag()
{
    QCOMPARE(build(CommandBuilder::ReadNetwork),
             QList<QByteArray>{hex("2001001004FEAA0114 0000000000 AA20")});
    QVERIFY(m_checkSum != hex("0102030405060708"));
    QCOMPARE(m_checkSum.size(), 8);
    QVERIFY(build(3).isEmpty());
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

QTEST_GUILESS_MAIN(TestFrames)
#include "tst_frames.moc"
