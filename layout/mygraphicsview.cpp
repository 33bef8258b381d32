#include "mygraphicsview.h"

#include "canvasmenu.h"
#include "channelmime.h"
#include "deviceblocks.h"
#include "layoutlog.h"
#include "lockbadge.h"
#include "trimtables.h"
#include "wallfile.h"
#include "wallscene.h"

#include <devicedata.h>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace {

constexpr int ShiftStep = 10;
constexpr int TrimValues = 8;
const QColor Background(24, 28, 33);

} // namespace

MyGraphicsView::MyGraphicsView(QWidget *parent)
    : QGraphicsView(parent), m_scene(new WallScene(m_editor.model().grid(), this))
{
    setScene(m_scene);
    setBackgroundBrush(Background);
    setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);
    setViewportUpdateMode(FullViewportUpdate);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    const WindowSender *sender = &m_editor.sender();
    connect(sender, &WindowSender::windowMessage, this, &MyGraphicsView::s_allMessage);
    connect(sender, &WindowSender::sourceMessage, this, &MyGraphicsView::s_win_single);
    connect(sender, &WindowSender::allDeleted, this, &MyGraphicsView::s_delteAll);
    connect(sender, &WindowSender::withheld, this, &MyGraphicsView::keptHere);
    connect(&m_editor, &WallEditor::changed, this, &MyGraphicsView::windowsChanged);
    connect(&m_editor, &WallEditor::created, this, &MyGraphicsView::s_creat_win);
    connect(&m_editor, &WallEditor::refused, this, &MyGraphicsView::ignore_message);
    rebuildScene();
}

void MyGraphicsView::setLanguage(int language)
{
    m_text.setEnglish(language == 1);
    viewport()->update();
}

void MyGraphicsView::initData(const int *colWidths, const int *rowHeights, int rows, int cols)
{
    WallGrid grid;
    if (rows < 1 || cols < 1 || rows * cols > WallGrid::MaxScreens
        || !grid.setSizes(QVector<int>(colWidths, colWidths + cols),
                          QVector<int>(rowHeights, rowHeights + rows))) {
        qCWarning(lcLayout) << "wall of" << rows << "x" << cols << "refused";
        return;
    }
    m_editor.setGrid(grid);
    rebuildScene();
    emit s_win_mes(model().layers());
}

void MyGraphicsView::ClearAllData()
{
    m_editor.load([](WallModel *model) {
        model->clear();
        return true;
    });
}

void MyGraphicsView::Add_Win_layer(const int *layers, int count)
{
    m_rebuild.start(layers, count);
}

// The cells follow from the geometry and the layer order.
void MyGraphicsView::Add_Rect(const int &winId, const QRect &rectA, const QRect &rectB,
                              const int &b2, const int *, const int &b3)
{
    m_rebuild.add(WallWindow::of(winId, b2, rectA, rectB, b3));
}

void MyGraphicsView::Add_End()
{
    m_editor.load([this](WallModel *model) {
        m_rebuild.finish(model);
        return true;
    });
}

void MyGraphicsView::fileSave(QDataStream &out) const
{
    WallFile::write(model(), out);
}

bool MyGraphicsView::fileOpen(QDataStream &in)
{
    return m_editor.load([&in](WallModel *model) { return WallFile::read(in, model); });
}

QByteArray MyGraphicsView::getAllData() const
{
    return DeviceBlocks::allData(model());
}

QByteArray MyGraphicsView::getInData() const
{
    return DeviceBlocks::inData(model());
}

QByteArray MyGraphicsView::getChData() const
{
    return DeviceBlocks::chData(model());
}

QMap<int, QString> MyGraphicsView::getWinSingle() const
{
    QMap<int, QString> names;
    for (int id : model().layers())
        names.insert(id, DeviceData::channelName(model().window(id).channel));
    return names;
}

void MyGraphicsView::getWinLayer()
{
    emit s_win_mes(model().layers());
}

void MyGraphicsView::setTopLayerWin(const int &win)
{
    m_editor.raise(win);
}

void MyGraphicsView::setButtonLayerWin(const int &win)
{
    m_editor.lower(win);
}

void MyGraphicsView::setLock(const bool &lock)
{
    m_lock = lock;
    m_editor.setLocked(m_lock || m_onAirLock);
    cancelDrag();
    viewport()->update();
}

void MyGraphicsView::setKeptHere(bool kept)
{
    m_editor.sender().setKept(kept);
}

void MyGraphicsView::setOnAirLock(bool locked)
{
    m_onAirLock = locked;
    setLock(m_lock);
}

QList<int> MyGraphicsView::getItemRect(int win) const
{
    return TrimTables::sections(model(), win);
}

// The canvas is rebuilt or stored meanwhile; what was nudged last still
// goes to the preset shown now.
void MyGraphicsView::setDisSend()
{
    m_editor.sender().hold();
}

void MyGraphicsView::setSend()
{
    m_editor.sender().resume();
}

void MyGraphicsView::setUndoStack(QUndoStack *stack)
{
    m_editor.setUndoStack(stack);
}

void MyGraphicsView::replayEdit(const WallModel &model, int window)
{
    m_editor.replay(model, window);
}

void MyGraphicsView::replaySource(int window, int code)
{
    m_editor.replaySource(window, code);
}

void MyGraphicsView::replayDeleteAll()
{
    m_editor.replayDeleteAll();
}

void MyGraphicsView::setInCard(int win, int code)
{
    m_editor.setChannel(win, code);
}

// Eight values: input x, y, width, height, then output x, y, width, height.
void MyGraphicsView::setTrim(const int win, const int screen, const QList<int> &values)
{
    if (values.size() == TrimValues)
        m_editor.setTrim(win, {screen, QRect(values[0], values[1], values[2], values[3]),
                               QRect(values[4], values[5], values[6], values[7])});
}

void MyGraphicsView::setTrimInRect(const int win, const QRect rect)
{
    m_editor.setSource(win, rect);
}

void MyGraphicsView::setTrimOutRect(const int win, const QRectF rect)
{
    m_editor.setRect(win, rect.toRect());
}

void MyGraphicsView::resizeEvent(QResizeEvent *event)
{
    QGraphicsView::resizeEvent(event);
    fitWall();
}

void MyGraphicsView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return QGraphicsView::mousePressEvent(event);
    const QPointF p = mapToScene(event->pos());
    const int id = model().windowAt(p);
    select(id);
    if (!isLocked())
        m_pointer.press(model(), id, p, scale());
}

void MyGraphicsView::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF p = mapToScene(event->pos());
    if (m_pointer.isActive())
        m_pointer.move(p);
    else
        updateCursor(p);
}

void MyGraphicsView::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_pointer.isActive())
        finishDrag(mapToScene(event->pos()));
    QGraphicsView::mouseReleaseEvent(event);
}

void MyGraphicsView::mouseDoubleClickEvent(QMouseEvent *event)
{
    const int id = model().windowAt(mapToScene(event->pos()));
    if (id >= 0 && !isLocked())
        emit fine_tuning(id);
}

void MyGraphicsView::keyPressEvent(QKeyEvent *event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? ShiftStep : 1;
    switch (event->key()) {
    case Qt::Key_Left: return m_editor.nudge(-step, 0);
    case Qt::Key_Right: return m_editor.nudge(step, 0);
    case Qt::Key_Up: return m_editor.nudge(0, -step);
    case Qt::Key_Down: return m_editor.nudge(0, step);
    case Qt::Key_Delete: return m_editor.remove(selectedWindow());
    case Qt::Key_Escape:
        if (m_pointer.isActive())
            return cancelDrag();
        return QGraphicsView::keyPressEvent(event);
    default: QGraphicsView::keyPressEvent(event);
    }
}

void MyGraphicsView::contextMenuEvent(QContextMenuEvent *event)
{
    const QPointF p = mapToScene(event->pos());
    if (!QRectF(model().grid().bounds()).contains(p))
        return;
    const int id = model().windowAt(p);
    select(id);
    CanvasMenu menu(id, isLocked(), m_text, this);
    connectMenu(&menu);
    menu.exec(event->globalPos());
}

void MyGraphicsView::dragEnterEvent(QDragEnterEvent *event)
{
    dragMoveEvent(event);
}

void MyGraphicsView::dragMoveEvent(QDragMoveEvent *event)
{
    if (droppedChannel(event) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void MyGraphicsView::dropEvent(QDropEvent *event)
{
    const int code = droppedChannel(event);
    if (code < 0)
        return event->ignore();
    event->acceptProposedAction();
    m_editor.drop(code, mapToScene(ChannelMime::dropPoint(event)));
}

void MyGraphicsView::drawForeground(QPainter *painter, const QRectF &)
{
    if (m_onAirLock)
        LockBadge::paint(painter, viewport()->width(), m_text("On air", "播出中"));
    else if (m_lock)
        LockBadge::paint(painter, viewport()->width(), m_text("Locked", "已锁定"));
}

void MyGraphicsView::rebuildScene()
{
    m_scene->setWall(model().grid());
    syncWindows();
    fitWall();
}

void MyGraphicsView::syncWindows()
{
    m_scene->setWindows(model(), selectedWindow());
}

void MyGraphicsView::windowsChanged()
{
    syncWindows();
    emit s_win_mes(model().layers());
}

void MyGraphicsView::fitWall()
{
    fitInView(m_scene->sceneRect(), Qt::KeepAspectRatio);
}

void MyGraphicsView::setWindowBackups(const QMap<int, QString> &notes)
{
    m_scene->setBackups(notes);
}

void MyGraphicsView::select(int id)
{
    m_editor.select(id);
    m_scene->mark(id);
}

qreal MyGraphicsView::scale() const
{
    return 1 / transform().m11();
}

void MyGraphicsView::updateCursor(const QPointF &scenePos)
{
    const std::optional<Qt::CursorShape> cursor =
        isLocked() ? std::nullopt : PointerEdit::cursorAt(model(), scenePos, scale());
    if (cursor)
        viewport()->setCursor(*cursor);
    else
        viewport()->unsetCursor();
}

// The window goes back where it was; the button's release then does nothing.
void MyGraphicsView::cancelDrag()
{
    m_pointer.cancel();
    syncWindows();
}

// The dragged window first goes back where the model has it, in case the
// change is refused; a click only selected, and a rectangle drawn smaller
// than a drag's least is taken for one.
void MyGraphicsView::finishDrag(const QPointF &scenePos)
{
    const int id = m_pointer.window();
    const std::optional<WindowDrag> drag = m_pointer.finish(scenePos);
    syncWindows();
    if (!drag)
        return;
    const QRect rect = drag->rectAt(scenePos);
    if (!drag->isDrawing())
        m_editor.drag(id, rect, drag->isMove());
    else if (rect.width() >= WindowDrag::MinSize && rect.height() >= WindowDrag::MinSize)
        m_editor.draw(curChannel, rect);
}

int MyGraphicsView::droppedChannel(const QDropEvent *event) const
{
    const int code = ChannelMime::channel(event->mimeData());
    return isLocked() || code > WallModel::MaxChannel ? -1 : code;
}

void MyGraphicsView::connectMenu(const CanvasMenu *menu)
{
    connect(menu, &CanvasMenu::trimming, this, &MyGraphicsView::fine_tuning);
    connect(menu, &CanvasMenu::trimmingData, this,
            [this](int id) { emit fine_tuning_data(TrimTables::rectangles(model(), id)); });
    connect(menu, &CanvasMenu::topLayer, &m_editor, &WallEditor::raise);
    connect(menu, &CanvasMenu::bottomLayer, &m_editor, &WallEditor::lower);
    connect(menu, &CanvasMenu::deleteWindow, &m_editor, &WallEditor::remove);
    connect(menu, &CanvasMenu::deleteAll, &m_editor, &WallEditor::removeAll);
    connect(menu, &CanvasMenu::presetName, this, &MyGraphicsView::setModelName);
}
