#include "framebytes.h"

#include <deviceblocks.h>
#include <edgesnapper.h>
#include <framebuilder.h>
#include <mygraphicsview.h>
#include <presetcheck.h>
#include <replyparser.h>
#include <wallfile.h>
#include <windowdrag.h>

#include <QRandomGenerator>
#include <QtTest>

#include <functional>

// Changes the device's blocks of the checked preset, as the verify reads
// them (the 0x44 and 0x4A blobs), or the device's record.
using DeviceChange = std::function<void(QByteArray &blocks, QByteArray &sources, DeviceData &device)>;
Q_DECLARE_METATYPE(DeviceChange)

namespace {

void wall2x3(MyGraphicsView *canvas)
{
    const int widths[] = {1920, 1920, 1920};
    const int heights[] = {1080, 1080};
    canvas->initData(widths, heights, 2, 3);
}

// Overlapping windows, a changed layer order, a new channel, a cropped
// source, a trim and a moved window.
void fillCanvas(MyGraphicsView *canvas)
{
    wall2x3(canvas);
    int layers[64];
    std::fill(std::begin(layers), std::end(layers), 0xFF);
    canvas->Add_Win_layer(layers, 4);
    const QList<QRect> rects = {{0, 0, 3840, 1080}, {1000, 500, 2000, 1000}, {2500, 200, 3000, 1800},
                                {100, 1200, 800, 600}};
    for (int id = 0; id < rects.size(); ++id)
        canvas->Add_Rect(id, rects[id], WallModel::pictureRect(), id * 40, nullptr, 0);
    canvas->Add_End();
    canvas->setTopLayerWin(0);
    canvas->setButtonLayerWin(2);
    canvas->setInCard(2, 161);
    canvas->setTrimInRect(3, QRect(0, 0, 960, 540));
    canvas->setTrim(2, 4, {0, 0, 500, 500, 10, 10, 1900, 1000});
    canvas->setTrimOutRect(1, QRectF(2000, 1200, 1500, 700));
}

WallWindow window(int id, const QRect &rect, int channel = 1)
{
    WallWindow w;
    w.id = id;
    w.channel = channel;
    w.rect = rect;
    w.source = WallModel::pictureRect();
    return w;
}

// 2 rows x 3 columns of 1920 x 1080.
WallModel wallModel2x3()
{
    WallGrid grid;
    grid.setSizes({1920, 1920, 1920}, {1080, 1080});
    WallModel model;
    model.setGrid(grid);
    return model;
}

constexpr int CheckedPreset = 3;
constexpr int LayersAt = 1792;

// Window 3 on screen 0, under window 7, which spans screens 0, 1, 3 and 4.
WallModel checkedPreset()
{
    WallModel model = wallModel2x3();
    WallWindow over = window(7, QRect(1000, 500, 2000, 1000), 34);
    over.source = QRect(10, 20, 1900, 1060);
    over.b3 = 5;
    model.insert(window(3, QRect(0, 0, 1920, 1080), 160));
    model.insert(over);
    return model;
}

void putRect(QByteArray &bytes, int at, const QRect &r)
{
    for (int value : {r.x(), r.width(), r.y(), r.height()}) {
        bytes[at++] = char(value & 0xFF);
        bytes[at++] = char(value >> 8);
    }
}

// A window the device holds in slot id, on top of the two others.
void addDeviceWindow(QByteArray &blocks, QByteArray &sources, int id, const QRect &rect, const QRect &source)
{
    blocks[28 * id] = char(id);
    blocks[28 * id + 1] = 1;
    putRect(blocks, 28 * id + 20, rect);
    putRect(sources, 8 * id, source);
    blocks[LayersAt + 2] = char(id);
}

QStringList found(const PresetCheck &check)
{
    const char *const kinds[] = {"moved", "resized", "input", "picture", "missing", "only", "cells", "other", "unshown"};
    const char *const parts[] = {"picture", "main", "second", "mode", "A", "B", "captions"};
    const auto named = [](int flags, const char *const *names, int count) {
        QStringList set;
        for (int bit = 0; bit < count; ++bit) {
            if (flags & 1 << bit)
                set << QLatin1String(names[bit]);
        }
        return set.join(QLatin1Char('+'));
    };
    QStringList lines;
    for (int m = 0; m < PresetCheck::Presets; ++m) {
        for (const PresetCheck::WindowDifference &w : check.preset(m).windows)
            lines << QStringLiteral("M%1/%2: %3").arg(m + 1).arg(w.window).arg(named(w.kinds, kinds, 9));
        if (check.preset(m).restacked)
            lines << QStringLiteral("M%1: restacked").arg(m + 1);
    }
    for (const PresetCheck::EntryDifference &e : check.entries())
        lines << QStringLiteral("In%1: %2").arg(e.entry + 1).arg(named(e.parts, parts, 7));
    return lines;
}

} // namespace

// The wall's model, the device's blocks and files made of it, and what a
// verify finds between the host's presets and the device's.
class TestCanvasData : public QObject
{
    Q_OBJECT

private slots:
    void gridRefusesWhatTheDeviceCannotHold();
    void screensShowAtMostFourWindows();
    void drag_data();
    void drag();
    void blocksFollowTheDeviceLayout();
    void rebuildOrdersWindowsByTheLayerTable();
    void fileKeepsTheCanvasAndRefusesDamage();
    void verifySeesWhatTheDeviceHolds_data();
    void verifySeesWhatTheDeviceHolds();
};

void TestCanvasData::verifySeesWhatTheDeviceHolds_data()
{
    QTest::addColumn<DeviceChange>("change");
    QTest::addColumn<bool>("hostRead"); // the host holds the preset as it read it from the device
    QTest::addColumn<QStringList>("found");
    const QRect picture = WallModel::pictureRect();
    const auto offWall = [picture](QByteArray &blocks, QByteArray &sources, DeviceData &) {
        addDeviceWindow(blocks, sources, 9, QRect(6000, 0, 100, 100), picture);
    };
    const auto noPicture = [](QByteArray &blocks, QByteArray &sources, DeviceData &) {
        addDeviceWindow(blocks, sources, 9, QRect(4000, 100, 100, 100), QRect());
    };
    const auto cells = [](QByteArray &blocks, QByteArray &, DeviceData &) { blocks[28 * 7 + 4] = 0x11; };
    const auto meaningless = [](QByteArray &blocks, QByteArray &sources, DeviceData &) {
        blocks.replace(28 * 20 + 2, 26, QByteArray(26, 'Z')); // slot 20 is unused: its byte 1 stays 0
        sources.replace(8 * 20, 8, QByteArray(8, 'Z'));
        for (int j = 2; j < 64; ++j)
            blocks[LayersAt + j] = char(j);
    };

    QTest::newRow("same") << DeviceChange([](QByteArray &, QByteArray &, DeviceData &) {}) << false << QStringList();
    QTest::newRow("cells byte") << DeviceChange(cells) << false << QStringList{"M4/7: cells"};
    QTest::newRow("picture part") << DeviceChange([](QByteArray &, QByteArray &sources, DeviceData &) {
        sources[8 * 7] = 15;
    }) << false << QStringList{"M4/7: picture"};
    QTest::newRow("window missing from the layer table") << DeviceChange([](QByteArray &blocks, QByteArray &, DeviceData &) {
        blocks[LayersAt + 1] = char(0xFF);
    }) << false << QStringList{"M4: restacked"};
    QTest::newRow("off the wall") << DeviceChange(offWall) << false << QStringList{"M4/9: only+unshown"};
    QTest::newRow("no picture part") << DeviceChange(noPicture) << false << QStringList{"M4/9: only+unshown"};
    QTest::newRow("unused slots, table past the windows") << DeviceChange(meaningless) << false << QStringList();
    QTest::newRow("read and not changed") << DeviceChange([=](QByteArray &blocks, QByteArray &sources, DeviceData &d) {
        offWall(blocks, sources, d);
        cells(blocks, sources, d);
    }) << true << QStringList();
    QTest::newRow("input entries") << DeviceChange([](QByteArray &, QByteArray &, DeviceData &device) {
        device.inCards[5].light = 60;
        device.inCards[5].mode = 2;
        device.inCards[6].light = 60; // no card fitted
    }) << false << QStringList{"In6: picture+mode"};
}

// The device's blocks come through the verify's own parser; the other
// presets are empty on both sides.
void TestCanvasData::verifySeesWhatTheDeviceHolds()
{
    QFETCH(DeviceChange, change);
    QFETCH(bool, hostRead);
    DeviceData host;
    host.colWidths = {1920, 1920, 1920};
    host.rowHeights = {1080, 1080};
    host.inCards[5].present = 1;
    host.inCards[5].light = 50;
    const WallModel preset = checkedPreset();
    host.modelView[CheckedPreset] = WallFile::bytes(preset);
    DeviceData device = host;
    QByteArray blocks = DeviceBlocks::allData(preset);
    QByteArray sources = DeviceBlocks::inData(preset);
    change(blocks, sources, device);

    ReplyParser::OwnState state;
    ReplyParser parser(state.over(device));
    QByteArray windows = FrameBytes::reply(1867);
    QByteArray blocksRead = FrameBytes::reply(523);
    parser.handle(FrameBuilder::readRequest(0x1A, CheckedPreset), windows.replace(9, blocks.size(), blocks));
    parser.handle(FrameBuilder::readRequest(0x1B, CheckedPreset), blocksRead.replace(9, sources.size(), sources));
    if (hostRead) {
        host.presetsAsRead[CheckedPreset] = device.presetRead(CheckedPreset);
        host.modelView[CheckedPreset] = WallFile::bytes(PresetCheck::devicePreset(device, CheckedPreset));
    }
    QTEST(found(PresetCheck(host, device)), "found");
}

void TestCanvasData::blocksFollowTheDeviceLayout()
{
    MyGraphicsView canvas;
    wall2x3(&canvas);
    int layers[64];
    std::fill(std::begin(layers), std::end(layers), 0xFF);
    canvas.Add_Win_layer(layers, 2);
    canvas.Add_Rect(7, QRect(1000, 500, 2000, 1000), QRect(10, 20, 1900, 1060), 34, nullptr, 5);
    canvas.Add_Rect(3, QRect(0, 0, 1920, 1080), QRect(0, 0, 1920, 1080), 160, nullptr, 0);
    canvas.Add_End();

    const QByteArray all = canvas.getAllData();
    QCOMPARE(all.size(), 1856);
    QCOMPARE(all.mid(28 * 7, 28).toHex(' '), QByteArray("07 01 22 05 21 01 10 00 00 00 00 00 00 00 00 00 "
                                                        "00 00 00 00 e8 03 d0 07 f4 01 e8 03"));
    QCOMPARE(all.mid(28 * 3, 4).toHex(), QByteArray("0301a000"));
    QCOMPARE(all.mid(0, 28), QByteArray(28, 0));
    QCOMPARE(all.mid(1792, 3).toHex(), QByteArray("0307ff"));

    const QByteArray in = canvas.getInData();
    QCOMPARE(in.size(), 512);
    QCOMPARE(in.mid(8 * 7, 8).toHex(), QByteArray("0a006c0714002404"));
    QCOMPARE(in.mid(0, 8), QByteArray(8, 0));

    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);
    canvas.setTrim(7, 4, {-32, -8, 1000, 500, 0, 0, 1920, 1080});
    QCOMPARE(sent.size(), 1);
    const QByteArray message = sent.at(0).at(0).toByteArray();
    QCOMPARE(message.size(), 36 + 64 + 1 + 4 * 18);
    QCOMPARE(message.left(36), all.mid(28 * 7, 28) + in.mid(8 * 7, 8));
    QCOMPARE(message.mid(36, 64), all.mid(1792));
    QCOMPARE(message.mid(100, 3).toHex(), QByteArray("040007"));
    QCOMPARE(message.mid(155, 18).toHex(' '), QByteArray("04 07 e0 ff e8 03 f8 ff f4 01 00 00 80 07 00 00 38 04"));

    const QByteArray ch = canvas.getChData();
    QCOMPARE(ch.size(), 1472);
    QCOMPARE(ch.left(19), QByteArray(1, 1) + message.mid(155, 18));
    QCOMPARE(ch.mid(19), QByteArray(1472 - 19, 0));
}

void TestCanvasData::rebuildOrdersWindowsByTheLayerTable()
{
    MyGraphicsView canvas;
    int layers[64];
    std::fill(std::begin(layers), std::end(layers), 0);
    const int head[] = {9, 200, 4, 9, 70, 0xFF};
    std::copy(std::begin(head), std::end(head), layers);
    canvas.Add_Win_layer(layers, 5);
    for (int id : {70, 6, 4, 2, 9})
        canvas.Add_Rect(id, QRect(10 * id, 0, 100, 100), WallModel::pictureRect(), id, nullptr, 0);
    canvas.Add_Rect(4, QRect(0, 500, 100, 100), WallModel::pictureRect(), 4, nullptr, 0); // duplicate
    canvas.Add_Rect(11, QRect(0, 0, 100, 100), QRect(), 11, nullptr, 0); // no source: left out
    canvas.Add_End();
    QCOMPARE(canvas.model().layers(), QList<int>({9, 4, 2, 6}));
    QCOMPARE(canvas.model().window(4).rect, QRect(40, 0, 100, 100));
}

// A saved canvas opens as it was, on its own wall only; a truncated one is
// refused, a damaged one refused with an empty canvas or taken as it saves.
void TestCanvasData::fileKeepsTheCanvasAndRefusesDamage()
{
    MyGraphicsView canvas;
    fillCanvas(&canvas);
    QByteArray saved;
    QDataStream out(&saved, QIODevice::ReadWrite);
    canvas.fileSave(out);

    MyGraphicsView copy;
    wall2x3(&copy);
    QSignalSpy layers(&copy, &MyGraphicsView::s_win_mes);
    QDataStream opened(saved);
    QVERIFY(copy.fileOpen(opened));
    QCOMPARE(layers.last().at(0).value<QList<int>>(), canvas.model().layers());
    QCOMPARE(copy.getAllData(), canvas.getAllData());
    QCOMPARE(copy.getInData(), canvas.getInData());
    QCOMPARE(copy.getChData(), canvas.getChData());
    QCOMPARE(copy.getItemRect(2), canvas.getItemRect(2));

    MyGraphicsView otherWall;
    QDataStream elsewhere(saved);
    QVERIFY(!otherWall.fileOpen(elsewhere));

    for (int size = 0; size < saved.size(); ++size) {
        QDataStream in(saved.left(size));
        QVERIFY(!canvas.fileOpen(in));
        QCOMPARE(canvas.model().count(), 0);
    }
    QRandomGenerator random(5300);
    for (int i = 0; i < 300; ++i) {
        QByteArray data = i == 0 ? QByteArray(4096, char(0xFF)) : saved;
        data[random.bounded(int(data.size()))] = char(random.bounded(256));
        QDataStream in(data);
        if (!canvas.fileOpen(in)) {
            QCOMPARE(canvas.model().count(), 0);
            continue;
        }
        QByteArray again;
        QDataStream resaved(&again, QIODevice::WriteOnly);
        canvas.fileSave(resaved);
        QVERIFY(data.startsWith(again));
    }
}

void TestCanvasData::gridRefusesWhatTheDeviceCannotHold()
{
    WallGrid grid;
    QVERIFY(!grid.setSizes({}, {1080}));
    QVERIFY(!grid.setSizes(QVector<int>(8, 100), QVector<int>(5, 100))); // 40 screens
    QVERIFY(!grid.setSizes({40000, 40000}, {1080}));                     // wider than 16 bits
    QVERIFY(!grid.setSizes({1920, 0}, {1080}));
    QCOMPARE(grid.bounds(), QRect(0, 0, 3840, 2160));
    QVERIFY(grid.setSizes({100, 200, 300}, {50, 60}));
    QCOMPARE(grid.screenRect(5), QRect(300, 50, 300, 60));
    QCOMPARE(grid.screenAt(QPointF(299.5, 49.9)), 1);
    QCOMPARE(grid.screenAt(QPointF(600, 0)), -1);
    QCOMPARE(grid.screensUnder(QRect(250, 40, 100, 20)), QList<int>({1, 2, 4, 5}));
}

void TestCanvasData::screensShowAtMostFourWindows()
{
    WallModel model = wallModel2x3();
    for (int i = 0; i < WallModel::MaxPerScreen; ++i)
        QVERIFY(model.insert(window(i, QRect(100 * i, 0, 100, 100))));
    QVERIFY(!model.insert(window(4, QRect(1800, 1000, 200, 200))));   // reaches screen 0
    QVERIFY(model.insert(window(4, QRect(1920, 1000, 200, 200))));
    QVERIFY(!model.setRect(4, QRect(1900, 1000, 200, 200)));
    QCOMPARE(model.window(4).rect, QRect(1920, 1000, 200, 200));
    QVERIFY(model.setRect(3, QRect(300, 1080, 100, 100)));             // leaves screen 0
    QVERIFY(model.setRect(4, QRect(1900, 1000, 200, 200)));

    QVERIFY(!model.insert(window(9, QRect(0, 0, 6000, 100))));        // off the wall
    QVERIFY(!model.insert(window(64, QRect(4000, 0, 100, 100))));
    QVERIFY(!model.insert(window(9, QRect(4000, 0, 100, 100), 224)));

    WallGrid grid;
    grid.setSizes(QVector<int>(8, 480), QVector<int>(4, 270));
    model.setGrid(grid);
    for (int i = 0; i < WallModel::MaxWindows; ++i)
        QVERIFY(model.insert(window(i, QRect(480 * (i % 8), 270 * (i / 8 % 4), 100, 100))));
    QCOMPARE(model.freeId(), -1);
}

void TestCanvasData::drag_data()
{
    QTest::addColumn<int>("edges"); // -1 draws a new window
    QTest::addColumn<QRect>("start");
    QTest::addColumn<QPointF>("press");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QRect>("result");

    const QRect start(100, 100, 400, 300);
    const int corner = WindowDrag::Right | WindowDrag::Bottom;
    QTest::newRow("move free") << 0 << start << QPointF(200, 200) << QPointF(300, 250) << QRect(200, 150, 400, 300);
    QTest::newRow("move snaps to a screen") << 0 << start << QPointF(200, 200) << QPointF(1613, 200) << QRect(1520, 100, 400, 300);
    QTest::newRow("move snaps to a window") << 0 << start << QPointF(200, 200) << QPointF(2693, 794) << QRect(2600, 700, 400, 300);
    QTest::newRow("move stays on the wall") << 0 << start << QPointF(200, 200) << QPointF(-900, 5000) << QRect(0, 1860, 400, 300);
    QTest::newRow("resize corner") << corner << start << QPointF(500, 400) << QPointF(1905, 1071) << QRect(100, 100, 1820, 980);
    QTest::newRow("resize left") << int(WindowDrag::Left) << start << QPointF(100, 200) << QPointF(52, 200) << QRect(52, 100, 448, 300);
    QTest::newRow("resize keeps a minimum") << int(WindowDrag::Top) << start << QPointF(300, 100) << QPointF(300, 900) << QRect(100, 384, 400, 16);
    QTest::newRow("draw backwards") << -1 << QRect() << QPointF(3000, 1500) << QPointF(1933, 1092) << QRect(1920, 1080, 1080, 420);
    QTest::newRow("draw clamps") << -1 << QRect() << QPointF(5000, 100) << QPointF(7000, 3000) << QRect(5000, 100, 760, 2060);
}

void TestCanvasData::drag()
{
    QFETCH(int, edges);
    QFETCH(QRect, start);
    QFETCH(QPointF, press);
    QFETCH(QPointF, point);
    QFETCH(QRect, result);

    WallModel model = wallModel2x3();
    QVERIFY(model.insert(window(1, QRect(3000, 1000, 400, 300))));
    const EdgeSnapper snapper = EdgeSnapper::around(model, 0, 20);
    const QRect bounds = model.grid().bounds();
    const WindowDrag drag = edges < 0 ? WindowDrag::drawing(press, bounds, snapper)
                                      : WindowDrag(start, WindowDrag::Edges(QFlag(edges)), press, bounds, snapper);
    QCOMPARE(drag.rectAt(point), result);
}

QTEST_MAIN(TestCanvasData)
#include "tst_canvasdata.moc"
