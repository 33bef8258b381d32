#include <edgesnapper.h>
#include <wallmodel.h>
#include <windowdrag.h>

#include <QtTest>

namespace {

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
WallModel wall2x3()
{
    WallGrid grid;
    grid.setSizes({1920, 1920, 1920}, {1080, 1080});
    WallModel model;
    model.setGrid(grid);
    return model;
}

} // namespace

class TestWallModel : public QObject
{
    Q_OBJECT

private slots:
    void gridRefusesWhatTheDeviceCannotHold();
    void screensShowAtMostFourWindows();
    void drag_data();
    void drag();
};

void TestWallModel::gridRefusesWhatTheDeviceCannotHold()
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

void TestWallModel::screensShowAtMostFourWindows()
{
    WallModel model = wall2x3();
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

void TestWallModel::drag_data()
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

void TestWallModel::drag()
{
    QFETCH(int, edges);
    QFETCH(QRect, start);
    QFETCH(QPointF, press);
    QFETCH(QPointF, point);
    QFETCH(QRect, result);

    WallModel model = wall2x3();
    QVERIFY(model.insert(window(1, QRect(3000, 1000, 400, 300))));
    const EdgeSnapper snapper = EdgeSnapper::around(model, 0, 20);
    const QRect bounds = model.grid().bounds();
    const WindowDrag drag = edges < 0 ? WindowDrag::drawing(press, bounds, snapper)
                                      : WindowDrag(start, WindowDrag::Edges(QFlag(edges)), press, bounds, snapper);
    QCOMPARE(drag.rectAt(point), result);
}

QTEST_GUILESS_MAIN(TestWallModel)
#include "tst_wallmodel.moc"
