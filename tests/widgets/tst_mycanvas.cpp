// Mouse events go through the window, so a held button keeps reaching the
// canvas when the cursor leaves it.
#define QTEST_QPA_MOUSE_HANDLING

#include "mycanvas.h"

#include <QSignalSpy>
#include <QtTest>

namespace {

constexpr int Main = 1;
constexpr int Pip = 0;

const QRect MainStart(20, 20, 160, 160);
const QRect PipStart(200, 20, 160, 160);

QList<int> emitted(const QSignalSpy &spy)
{
    QList<int> which;
    for (const QList<QVariant> &args : spy)
        which << args.at(0).toInt();
    return which;
}

} // namespace

class TestMyCanvas : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void scaling();
    void setRectValue_data();
    void setRectValue();
    void hoverCursor_data();
    void hoverCursor();
    void drag_data();
    void drag();
    void overlapGrabsPip();
    void paintsRectanglesAndGrid();

private:
    QWidget *m_host = nullptr;
    MyCanvas *m_canvas = nullptr;
};

void TestMyCanvas::init()
{
    // Room around the canvas for drags past its edges.
    m_host = new QWidget;
    m_host->resize(1000, 620);
    m_canvas = new MyCanvas(m_host);
    m_canvas->setGeometry(60, 60, 871, 489);
    m_host->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_host));
}

void TestMyCanvas::cleanup()
{
    delete m_host;
}

void TestMyCanvas::scaling()
{
    QCOMPARE(m_canvas->mainRectScaled(), QRect(44, 44, 352, 353));
    QCOMPARE(m_canvas->pipRectScaled(), QRect(440, 44, 352, 353));

    m_canvas->setMainRect(0, 0, 1920, 1080);
    QCOMPARE(m_canvas->mainRect(), QRect(0, 0, 871, 489));
    QCOMPARE(m_canvas->mainRectScaled(), QRect(0, 0, 1919, 1080));

    m_canvas->setPipRect(100, 50, 800, 600);
    QCOMPARE(m_canvas->pipRect(), QRect(45, 22, 362, 271));
    QCOMPARE(m_canvas->pipRectScaled(), QRect(99, 48, 797, 598));
}

void TestMyCanvas::setRectValue_data()
{
    QTest::addColumn<int>("which");
    QTest::addColumn<int>("field");
    QTest::addColumn<int>("value");
    QTest::addColumn<QRect>("main");
    QTest::addColumn<QRect>("pip");

    // Left and top move with the opposite edge kept.
    QTest::newRow("main left") << 1 << 0 << 100 << QRect(QPoint(45, 20), QPoint(179, 179)) << PipStart;
    QTest::newRow("main top") << 1 << 1 << 540 << QRect(QPoint(20, 244), QPoint(179, 179)) << PipStart;
    QTest::newRow("main width") << 1 << 2 << 400 << QRect(20, 20, 181, 160) << PipStart;
    QTest::newRow("main height") << 1 << 3 << 1080 << QRect(20, 20, 160, 489) << PipStart;
    QTest::newRow("pip left") << 2 << 0 << 600 << MainStart << QRect(QPoint(272, 20), QPoint(359, 179));
    QTest::newRow("other which is pip") << 0 << 3 << 100 << MainStart << QRect(200, 20, 160, 45);
    QTest::newRow("unknown field") << 1 << 7 << 100 << MainStart << PipStart;
}

void TestMyCanvas::setRectValue()
{
    QFETCH(int, which);
    QFETCH(int, field);
    QFETCH(int, value);
    QSignalSpy moved(m_canvas, &MyCanvas::move_rect);

    m_canvas->setRectValue(which, field, value);
    QTEST(m_canvas->mainRect(), "main");
    QTEST(m_canvas->pipRect(), "pip");
    QVERIFY(moved.isEmpty());
}

void TestMyCanvas::hoverCursor_data()
{
    QTest::addColumn<QPoint>("pos");
    QTest::addColumn<int>("shape");

    QTest::newRow("top-left") << QPoint(21, 21) << int(Qt::SizeFDiagCursor);
    QTest::newRow("top-right") << QPoint(178, 24) << int(Qt::SizeBDiagCursor);
    QTest::newRow("top") << QPoint(100, 21) << int(Qt::SizeVerCursor);
    QTest::newRow("left") << QPoint(24, 100) << int(Qt::SizeHorCursor);
    QTest::newRow("inside") << QPoint(100, 100) << int(Qt::OpenHandCursor);
    QTest::newRow("outermost column") << QPoint(20, 100) << int(Qt::OpenHandCursor);
    QTest::newRow("beyond the band") << QPoint(25, 25) << int(Qt::OpenHandCursor);
    QTest::newRow("between") << QPoint(190, 100) << int(Qt::ArrowCursor);
    QTest::newRow("pip corner") << QPoint(201, 21) << int(Qt::SizeFDiagCursor);
}

void TestMyCanvas::hoverCursor()
{
    QFETCH(QPoint, pos);
    QTest::mouseMove(m_canvas, pos);
    QTEST(int(m_canvas->cursor().shape()), "shape");
}

void TestMyCanvas::drag_data()
{
    QTest::addColumn<int>("grabbed");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QList<QPoint>>("moves");
    QTest::addColumn<QRect>("during"); // after the last move
    QTest::addColumn<QRect>("after");  // after the release
    QTest::addColumn<QList<int>>("signals");

    QTest::newRow("move main past top-left")
        << Main << QPoint(100, 100) << QList<QPoint>{{130, 140}, {20, 30}}
        << QRect(0, 0, 160, 160) << QRect(0, 0, 160, 160) << QList<int>{Main, Main};
    QTest::newRow("move main far past the right edge")
        << Main << QPoint(100, 100) << QList<QPoint>{{920, 100}} << QRect(711, 20, 160, 160)
        << QRect(711, 20, 160, 160) << QList<int>{Main};
    QTest::newRow("move pip to the bottom-right edge")
        << Pip << QPoint(280, 100) << QList<QPoint>{{870, 488}} << QRect(711, 329, 160, 160)
        << QRect(711, 329, 160, 160) << QList<int>{Pip};
    QTest::newRow("pip ignores a cursor outside the bounds")
        << Pip << QPoint(280, 100) << QList<QPoint>{{300, 100}, {900, 100}}
        << QRect(220, 20, 160, 160) << QRect(220, 20, 160, 160) << QList<int>{Pip};
    QTest::newRow("resize main bottom-right")
        << Main << QPoint(178, 178) << QList<QPoint>{{300, 250}} << QRect(20, 20, 281, 231)
        << QRect(20, 20, 281, 231) << QList<int>{Main};
    QTest::newRow("resize below the minimum")
        << Main << QPoint(178, 100) << QList<QPoint>{{100, 100}, {28, 100}}
        << QRect(20, 20, 81, 160) << QRect(20, 20, 81, 160) << QList<int>{Main};
    QTest::newRow("resize to exactly the minimum")
        << Main << QPoint(100, 178) << QList<QPoint>{{100, 29}} << QRect(20, 20, 160, 10)
        << QRect(20, 20, 160, 10) << QList<int>{Main};
    QTest::newRow("resize inside out")
        << Main << QPoint(178, 100) << QList<QPoint>{{5, 100}} << MainStart << MainStart
        << QList<int>{};
    QTest::newRow("resize across the left edge")
        << Main << QPoint(22, 100) << QList<QPoint>{{10, 100}, {-10, 100}}
        << QRect(QPoint(-10, 20), QPoint(179, 179)) << QRect(QPoint(10, 20), QPoint(179, 179))
        << QList<int>{Main};
    QTest::newRow("resize across the bottom edge")
        << Main << QPoint(100, 178) << QList<QPoint>{{100, 489}}
        << QRect(QPoint(20, 20), QPoint(179, 489)) << MainStart << QList<int>{};
    QTest::newRow("press outside both") << Main << QPoint(190, 300) << QList<QPoint>{{250, 350}}
                                        << MainStart << MainStart << QList<int>{};
}

void TestMyCanvas::drag()
{
    QFETCH(int, grabbed);
    QFETCH(QPoint, press);
    QFETCH(QList<QPoint>, moves);
    QSignalSpy moved(m_canvas, &MyCanvas::move_rect);
    const auto dragged = [&] { return grabbed == Main ? m_canvas->mainRect() : m_canvas->pipRect(); };
    const auto other = [&] { return grabbed == Main ? m_canvas->pipRect() : m_canvas->mainRect(); };
    const QRect otherStart = other();

    QTest::mousePress(m_canvas, Qt::LeftButton, {}, press);
    for (const QPoint &pos : moves)
        QTest::mouseMove(m_canvas, pos);
    QTEST(dragged(), "during");
    QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, moves.last());
    QTEST(dragged(), "after");
    QCOMPARE(other(), otherStart);
    QTEST(emitted(moved), "signals");
    QCOMPARE(m_canvas->cursor().shape(), Qt::ArrowCursor);
}

void TestMyCanvas::overlapGrabsPip()
{
    m_canvas->setPipRect(220, 220, 440, 440);
    QCOMPARE(m_canvas->pipRect(), QRect(99, 99, 199, 199));
    QSignalSpy moved(m_canvas, &MyCanvas::move_rect);

    // Inside the main rectangle, on the left edge of the PIP rectangle.
    QTest::mouseMove(m_canvas, QPoint(101, 150));
    QCOMPARE(m_canvas->cursor().shape(), Qt::SizeHorCursor);
    QTest::mousePress(m_canvas, Qt::LeftButton, {}, QPoint(150, 150));
    // A second button during the drag does not take the main rectangle; its
    // press at a new point comes with a move that drags the PIP rectangle.
    QTest::mousePress(m_canvas, Qt::RightButton, {}, QPoint(40, 40));
    QTest::mouseMove(m_canvas, QPoint(160, 165));
    QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, QPoint(160, 165));
    QTest::mouseRelease(m_canvas, Qt::RightButton, {}, QPoint(160, 165));
    QCOMPARE(m_canvas->pipRect(), QRect(109, 114, 199, 199));
    QCOMPARE(m_canvas->mainRect(), MainStart);
    QCOMPARE(emitted(moved), (QList<int>{Pip, Pip}));
}

void TestMyCanvas::paintsRectanglesAndGrid()
{
    QImage shot = m_canvas->grab().toImage();
    QCOMPARE(QColor(shot.pixel(100, 100)), QColor(85, 170, 255));
    QCOMPARE(QColor(shot.pixel(280, 100)), QColor(80, 163, 63));
    QCOMPARE(QColor(shot.pixel(500, 301)), QColor(Qt::lightGray));
    // Dotted grid lines every 489 / 30 rows and 871 / 30 columns.
    int dots = 0;
    for (int x = 400; x < 430; ++x)
        dots += QColor(shot.pixel(x, 16)) == Qt::black;
    for (int y = 200; y < 230; ++y)
        dots += QColor(shot.pixel(493, y)) == Qt::black;
    QVERIFY(dots > 10 && dots < 50);

    QTest::mousePress(m_canvas, Qt::LeftButton, {}, QPoint(280, 100));
    shot = m_canvas->grab().toImage();
    QCOMPARE(QColor(shot.pixel(280, 100)), QColor(255, 50, 50));
    QCOMPARE(QColor(shot.pixel(100, 100)), QColor(85, 170, 255));
    QTest::mouseRelease(m_canvas, Qt::LeftButton, {}, QPoint(280, 100));
    QCOMPARE(QColor(m_canvas->grab().toImage().pixel(280, 100)), QColor(80, 163, 63));
}

QTEST_MAIN(TestMyCanvas)
#include "tst_mycanvas.moc"
