#include <channelmime.h>
#include <mygraphicsview.h>

#include <QtTest>

namespace {

// The canvas on a 2 x 2 wall of 1920 x 1080, shown at a fifth of its size.
class Canvas : public MyGraphicsView
{
public:
    Canvas()
    {
        resize(800, 460);
        show();
    }

    QPoint at(const QPointF &scenePos) const { return mapFromScene(scenePos); }

    void drop(int code, const QPointF &scenePos)
    {
        QMimeData mime;
        ChannelMime::setChannel(&mime, code);
        QDragEnterEvent enter(at(scenePos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &enter);
        if (!enter.isAccepted())
            return;
        QDropEvent drop(at(scenePos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &drop);
    }

    // A move with the left button held, which QTest does not send.
    void moveHeld(const QPointF &to)
    {
        const QPoint local = at(to);
        QMouseEvent move(QEvent::MouseMove, local, viewport()->mapToGlobal(local), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(viewport(), &move);
    }

    // Press, one move with the button held, release; returns the sends seen
    // before the release.
    int drag(const QPointF &from, const QPointF &to, QSignalSpy *sends)
    {
        QTest::mousePress(viewport(), Qt::LeftButton, {}, at(from));
        moveHeld(to);
        const int whileDragging = sends->size();
        QTest::mouseRelease(viewport(), Qt::LeftButton, {}, at(to));
        return whileDragging;
    }

    QRect rectOf(int id) const { return model().window(id).rect; }
};

QRect screen(int k)
{
    return QRect(k % 2 * 1920, k / 2 * 1080, 1920, 1080);
}

} // namespace

class TestMyGraphicsView : public QObject
{
    Q_OBJECT

private slots:
    void dropsCreateOrChangeWindows();
    void drawMoveAndResizeSnap();
    void keysNudgeAndDelete();
    void lockFreezesTheLayout();
    void trimmingTableOfFourScreens();
};

void TestMyGraphicsView::dropsCreateOrChangeWindows()
{
    Canvas canvas;
    QSignalSpy created(&canvas, &MyGraphicsView::s_creat_win);
    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);
    QSignalSpy single(&canvas, &MyGraphicsView::s_win_single);
    QSignalSpy ignored(&canvas, &MyGraphicsView::ignore_message);
    QSignalSpy layers(&canvas, &MyGraphicsView::s_win_mes);

    canvas.drop(5, screen(1).center());
    QCOMPARE(created.size(), 1);
    QCOMPARE(created.at(0), QVariantList({0, 5}));
    QCOMPARE(canvas.rectOf(0), screen(1));
    QCOMPARE(sent.size(), 1);
    QCOMPARE(sent.at(0).at(0).toByteArray().left(3), QByteArray::fromHex("000105"));
    QCOMPARE(layers.last().at(0).value<QList<int>>(), QList<int>({0}));

    canvas.drop(34, screen(1).center());
    QCOMPARE(single.size(), 1);
    QCOMPARE(single.at(0).at(0).toByteArray(), QByteArray::fromHex("0022"));
    QCOMPARE(canvas.model().window(0).channel, 34);
    QCOMPARE(canvas.getWinSingle().value(0), QStringLiteral("In2_HDMI3"));

    canvas.drop(5, QPointF(-40, -40));
    QCOMPARE(ignored.size(), 1);
    QCOMPARE(ignored.at(0).at(0).toInt(), 1);

    canvas.curChannel = 7;
    for (const QPointF &corner : {QPointF(30, 30), QPointF(1500, 30), QPointF(30, 650), QPointF(1500, 650)})
        canvas.drag(corner, corner + QPointF(400, 400), &sent);
    QCOMPARE(canvas.model().count(), 5);
    canvas.drop(6, screen(0).center());
    QCOMPARE(ignored.size(), 2);
    QCOMPARE(ignored.at(1).at(0).toInt(), 2);
    QCOMPARE(created.size(), 5);
    QCOMPARE(created.at(4), QVariantList({4, 7}));
}

void TestMyGraphicsView::drawMoveAndResizeSnap()
{
    Canvas canvas;
    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);
    canvas.curChannel = 160;
    QCOMPARE(canvas.drag(QPointF(25, 30), QPointF(1900, 1065), &sent), 0);
    QCOMPARE(canvas.rectOf(0), screen(0));
    canvas.drop(1, screen(3).center());
    QCOMPARE(sent.size(), 2);

    canvas.setTrimOutRect(0, QRectF(0, 0, 1500, 900));
    QCOMPARE(sent.size(), 3);
    // Window 1's left and top edges come within reach of window 0's.
    QCOMPARE(canvas.drag(QPointF(2880, 1620), QPointF(2880 - 405, 1620 - 168), &sent), 3);
    QCOMPARE(canvas.rectOf(1), QRect(1500, 900, 1920, 1080));
    QCOMPARE(sent.size(), 4);
    QCOMPARE(canvas.selectedWindow(), 1);

    // Window 0's right edge (under window 1 near the top only) snaps to the screen.
    canvas.drag(QPointF(1490, 300), QPointF(1905, 300), &sent);
    QCOMPARE(canvas.rectOf(0), QRect(0, 0, 1920, 900));
    QCOMPARE(sent.size(), 5);

    canvas.drag(QPointF(1000, 400), QPointF(1000, 400), &sent); // a click sends nothing
    QCOMPARE(sent.size(), 5);

    // Within snapping reach of a screen edge a click, wobbling up to the
    // drag distance, still only selects; going past it moves and snaps.
    QUndoStack history;
    canvas.setUndoStack(&history);
    canvas.setTrimOutRect(1, QRectF(2200, 1092, 1000, 600));
    const QPoint grip = canvas.at(QPointF(2700, 1400));
    const QPoint wobble = grip + QPoint(QApplication::startDragDistance(), 0);
    QTest::mousePress(canvas.viewport(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(canvas.viewport(), wobble);
    QTest::mouseRelease(canvas.viewport(), Qt::LeftButton, {}, wobble);
    QCOMPARE(canvas.selectedWindow(), 1);
    QCOMPARE(canvas.rectOf(1), QRect(2200, 1092, 1000, 600));
    QCOMPARE(sent.size(), 6);
    QCOMPARE(history.count(), 1);
    QTest::mousePress(canvas.viewport(), Qt::LeftButton, {}, grip);
    QTest::mouseMove(canvas.viewport(), wobble + QPoint(1, 0));
    QTest::mouseRelease(canvas.viewport(), Qt::LeftButton, {}, wobble + QPoint(1, 0));
    QCOMPARE(canvas.rectOf(1).top(), 1080);
    QVERIFY(canvas.rectOf(1).left() > 2200);
    QCOMPARE(sent.size(), 7);
    QCOMPARE(history.undoText(), QStringLiteral("Move Win2"));
}

void TestMyGraphicsView::keysNudgeAndDelete()
{
    Canvas canvas;
    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);
    QSignalSpy ignored(&canvas, &MyGraphicsView::ignore_message);
    QUndoStack history;
    canvas.setUndoStack(&history);
    canvas.drop(1, screen(0).center());
    canvas.setTrimOutRect(0, QRectF(100, 100, 400, 300));
    QTest::mouseClick(canvas.viewport(), Qt::LeftButton, {}, canvas.at(QPointF(300, 250)));
    // Nudges in a row go out as one change once the keys rest, or at once
    // when the canvas is about to be stored; each change is one undo step.
    QTest::keyClick(&canvas, Qt::Key_Right);
    QTest::keyClick(&canvas, Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(canvas.rectOf(0), QRect(101, 110, 400, 300));
    QCOMPARE(sent.size(), 2);
    QVERIFY(canvas.changePending());
    QTRY_COMPARE(sent.size(), 3);
    QCOMPARE(sent.last().at(0).toByteArray().mid(20, 8), QByteArray::fromHex("650090016e002c01"));
    QTest::keyClick(&canvas, Qt::Key_Left);
    canvas.setDisSend();
    QCOMPARE(sent.size(), 4);
    canvas.setSend();
    QCOMPARE(history.count(), 4);
    history.undo();
    QCOMPARE(canvas.rectOf(0), QRect(101, 110, 400, 300));
    QCOMPARE(sent.size(), 5);

    // Escape puts a window being dragged back, and nothing is sent.
    const QPoint grip = canvas.at(QPointF(300, 250));
    QTest::mousePress(canvas.viewport(), Qt::LeftButton, {}, grip);
    canvas.moveHeld(QPointF(1300, 650));
    QTest::keyClick(&canvas, Qt::Key_Escape);
    QTest::mouseRelease(canvas.viewport(), Qt::LeftButton, {}, canvas.at(QPointF(1300, 650)));
    QTRY_VERIFY(!canvas.changePending());
    QCOMPARE(canvas.rectOf(0), QRect(101, 110, 400, 300));
    QCOMPARE(sent.size(), 5);

    // Moving into a screen that shows four windows is undone.
    for (int id = 1; id <= 4; ++id) {
        canvas.drop(2, screen(1).center());
        canvas.setTrimOutRect(id, QRectF(1920 + 100 * id, 0, 100, 100));
    }
    QCOMPARE(canvas.model().count(), 5);
    const int before = sent.size();
    canvas.drag(QPointF(300, 250), QPointF(2000, 250), &sent);
    QCOMPARE(canvas.rectOf(0), QRect(101, 110, 400, 300));
    QCOMPARE(sent.size(), before);
    QCOMPARE(ignored.last().at(0).toInt(), 2);
    // Off the wall there is no screen; an empty rectangle is no screen's fault.
    canvas.setTrimOutRect(0, QRectF(3000, 0, 1000, 100));
    QCOMPARE(ignored.last().at(0).toInt(), 1);
    const int refusals = ignored.size();
    canvas.setTrimOutRect(0, QRectF(100, 100, 0, 300));
    QCOMPARE(ignored.size(), refusals);
    QCOMPARE(canvas.rectOf(0), QRect(101, 110, 400, 300));

    QTest::mouseClick(canvas.viewport(), Qt::LeftButton, {}, canvas.at(QPointF(300, 250)));
    QTest::keyClick(&canvas, Qt::Key_Delete);
    QVERIFY(!canvas.model().contains(0));
    QCOMPARE(sent.last().at(0).toByteArray().left(2), QByteArray::fromHex("0000"));
}

void TestMyGraphicsView::lockFreezesTheLayout()
{
    Canvas canvas;
    canvas.drop(1, screen(0).center());
    canvas.setLock(true);
    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);
    QSignalSpy single(&canvas, &MyGraphicsView::s_win_single);
    QSignalSpy layers(&canvas, &MyGraphicsView::s_win_mes);

    canvas.drop(2, screen(1).center());
    canvas.drop(2, screen(0).center());
    canvas.drag(QPointF(2000, 1200), QPointF(3000, 2000), &sent); // draw
    canvas.drag(QPointF(1915, 500), QPointF(1500, 500), &sent);  // resize
    canvas.drag(QPointF(1000, 500), QPointF(2000, 600), &sent);  // move
    QTest::keyClick(&canvas, Qt::Key_Left);
    QTest::keyClick(&canvas, Qt::Key_Delete);
    canvas.setInCard(0, 9);
    canvas.setTrimOutRect(0, QRectF(0, 0, 100, 100));
    canvas.setTopLayerWin(0);
    QCOMPARE(canvas.model().count(), 1);
    QCOMPARE(canvas.rectOf(0), screen(0));
    QCOMPARE(canvas.model().window(0).channel, 1);
    QCOMPARE(sent.size() + single.size() + layers.size(), 0);
    QCOMPARE(canvas.selectedWindow(), 0); // selecting is still possible

    canvas.setLock(false);
    QTest::keyClick(&canvas, Qt::Key_Delete);
    QCOMPARE(canvas.model().count(), 0);
    QCOMPARE(sent.size(), 1);
}

void TestMyGraphicsView::trimmingTableOfFourScreens()
{
    Canvas canvas;
    canvas.drop(97, screen(0).center());
    canvas.setTrimOutRect(0, QRectF(960, 540, 1920, 1080));
    QCOMPARE(canvas.getItemRect(0), QList<int>({0, 97, 0, 0, 960, 540, 960, 540, 960, 540,
                                                1, 97, 960, 0, 960, 540, 0, 540, 960, 540,
                                                2, 97, 0, 540, 960, 540, 960, 0, 960, 540,
                                                3, 97, 960, 540, 960, 540, 0, 0, 960, 540}));
    QSignalSpy sent(&canvas, &MyGraphicsView::s_allMessage);
    const QList<int> trim = {900, 500, 1000, 600, 0, 0, 1000, 560};
    canvas.setTrim(0, 3, trim);
    QCOMPARE(sent.size(), 1);
    QCOMPARE(canvas.getItemRect(0).mid(32), trim);
    canvas.setTrim(0, 7, trim); // not a screen of the window
    QCOMPARE(sent.size(), 1);

    canvas.setTrimInRect(0, QRect(0, 0, 960, 540));
    QCOMPARE(canvas.getItemRect(0).mid(32, 4), QList<int>({480, 270, 480, 270}));
    QCOMPARE(canvas.getItemRect(-1), QList<int>());
}

QTEST_MAIN(TestMyGraphicsView)
#include "tst_mygraphicsview.moc"
