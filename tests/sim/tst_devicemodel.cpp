#include "devicemodel.h"
#include "deviceprofile.h"

#include <QTemporaryFile>
#include <QtTest>

// The default chassis and chassis profiles.
class TestDeviceModel : public QObject
{
    Q_OBJECT

private slots:
    void defaultChassisCoversEveryCase();
    void channelCodesNameEntries();
    void exampleProfileLoads();
    void badProfileLeavesModel_data();
    void badProfileLeavesModel();
};

void TestDeviceModel::defaultChassisCoversEveryCase()
{
    const DeviceModel model = DeviceModel::defaultChassis();
    QList<int> signalsSeen;
    QList<int> twoChannelSlots;
    bool signalPresent = false;
    bool signalAbsent = false;
    int empty = 0;
    for (int slot = 0; slot < DeviceModel::SlotCount; ++slot) {
        const InputEntry &entry = model.entries[size_t(slot)];
        if (!entry.present) {
            ++empty;
            continue;
        }
        if (entry.cardType == InputEntry::OneChannel)
            signalsSeen.append(entry.mainSignal);
        else
            twoChannelSlots.append(entry.cardType * 2 + slot % 2);
        signalPresent |= entry.signalA;
        signalAbsent |= !entry.signalA;
    }
    for (int signal = 0; signal < 4; ++signal)
        QVERIFY(signalsSeen.contains(signal));
    for (int typeAndParity = 2; typeAndParity < 8; ++typeAndParity)
        QVERIFY(twoChannelSlots.contains(typeAndParity));
    QVERIFY(empty > 0);
    QVERIFY(signalPresent && signalAbsent);
    for (const CardVersion &output : model.outputs)
        QVERIFY(output != NoCardVersion);
    QVERIFY(model.presets[0].windowCount() > 0);
}

void TestDeviceModel::channelCodesNameEntries()
{
    QCOMPARE(DeviceModel::entryOfChannel(5), 5);
    QCOMPARE(DeviceModel::entryOfChannel(38), 3);
    QCOMPARE(DeviceModel::entryOfChannel(39), 3);
    QCOMPARE(DeviceModel::entryOfChannel(97), 0);
    QCOMPARE(DeviceModel::entryOfChannel(223), 31);
    QCOMPARE(DeviceModel::entryOfChannel(224), -1);
}

void TestDeviceModel::exampleProfileLoads()
{
    DeviceModel model;
    QString error;
    QVERIFY2(DeviceProfile::load(QStringLiteral(SIM_PROFILE_DIR "/example.json"), &model, &error),
             qPrintable(error));
    QCOMPARE(model.systemVersion, (CardVersion{4, 2, 0}));
    const auto &e = model.entries;
    QCOMPARE(QList<int>({e[0].present, e[0].mainSignal, e[1].cardType, e[1].signalB, e[22].cardType,
                         e[31].present, e[2].present}),
             QList<int>({1, 3, InputEntry::TwoChannelSdi, 1, InputEntry::TwoChannelDvi, 1, 0}));
    QCOMPARE(e[2].version, NoCardVersion);
    QCOMPARE(model.outputs[11], (CardVersion{3, 2, 0xFF}));
    QCOMPARE(model.outputs[5], NoCardVersion);
    QCOMPARE(QList<int>({int(model.network.address), model.network.mac[5], model.network.port, model.wall.cols,
                         model.currentPreset}), QList<int>({0x0A000009, 0x0C, 23, 3, 3}));
    QCOMPARE(model.wall.cells[2], QRect(5120, 0, 1280, 816));
    QCOMPARE(model.tag, QByteArray::fromHex("0102030405060708"));
}

void TestDeviceModel::badProfileLeavesModel_data()
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

void TestDeviceModel::badProfileLeavesModel()
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

QTEST_GUILESS_MAIN(TestDeviceModel)

#include "tst_devicemodel.moc"
