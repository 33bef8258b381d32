#include "mygraphicsview.h"

#include "changesource.h"
#include "deleteallwindows.h"
#include "deletewindow.h"
#include "drawwindow.h"
#include "dropwindow.h"
#include "lowerwindow.h"
#include "movewindow.h"
#include "nudgewindow.h"
#include "raisewindow.h"
#include "resizewindow.h"
#include "trimwindow.h"

#include "canvasmenu.h"
#include "channelmime.h"
#include "deviceblocks.h"
#include "layoutlog.h"
#include "lockbadge.h"
#include "trimtables.h"
#include "wallfile.h"
#include "wallscene.h"

#include <devicedata.h>
#include <messagecode.h>

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>

namespace {

// What ignore_message says, counted from the canvas's first message.
enum Refusal {
    NoScreen = Message::NoScreen - Message::CanvasBase,
    ScreenFull = Message::ScreenFull - Message::CanvasBase,
};

constexpr int ShiftStep = 10;
const QColor Background(24, 28, 33);

} // namespace

MyGraphicsView::MyGraphicsView(QWidget *parent)
    : QGraphicsView(parent), m_scene(new WallScene(m_model.grid(), this))
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
    connect(&m_sender, &WindowSender::windowMessage, this, &MyGraphicsView::s_allMessage);
    connect(&m_sender, &WindowSender::sourceMessage, this, &MyGraphicsView::s_win_single);
    connect(&m_sender, &WindowSender::allDeleted, this, &MyGraphicsView::s_delteAll);
    rebuildScene();
}

void MyGraphicsView::setLanguage(int language)
{
    m_text.setEnglish(language == 1);
    viewport()->update();
}

void MyGraphicsView::initData(const int *colWidths, const int *rowHeights, int rows, int cols, int,
                              int, int)
{
    WallGrid grid;
    if (rows < 1 || cols < 1 || rows * cols > WallGrid::MaxScreens
        || !grid.setSizes(QVector<int>(colWidths, colWidths + cols),
                          QVector<int>(rowHeights, rowHeights + rows))) {
        qCWarning(lcLayout) << "wall of" << rows << "x" << cols << "refused";
        return;
    }
    m_model.setGrid(grid);
    m_selected = -1;
    m_sender.adopt();
    rebuildScene();
    emit s_win_mes(m_model.layers());
}

void MyGraphicsView::ClearAllData()
{
    m_model.clear();
    contentReplaced();
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
    m_rebuild.finish(&m_model);
    contentReplaced();
}

void MyGraphicsView::fileSave(QDataStream &out) const
{
    WallFile::write(m_model, out);
}

bool MyGraphicsView::fileOpen(QDataStream &in)
{
    const bool ok = WallFile::read(in, &m_model);
    contentReplaced();
    return ok;
}

QByteArray MyGraphicsView::getAllData() const
{
    return DeviceBlocks::allData(m_model);
}

QByteArray MyGraphicsView::getInData() const
{
    return DeviceBlocks::inData(m_model);
}

QByteArray MyGraphicsView::getChData() const
{
    return DeviceBlocks::chData(m_model);
}

QMap<int, QString> MyGraphicsView::getWinSingle() const
{
    QMap<int, QString> names;
    for (int id : m_model.layers())
        names.insert(id, DeviceData::channelName(m_model.window(id).channel));
    return names;
}

void MyGraphicsView::getWinLayer()
{
    emit s_win_mes(m_model.layers());
}

void MyGraphicsView::setTopLayerWin(const int &win)
{
    const WallModel before = m_model;
    if (!m_locked && m_model.raise(win)) {
        m_sender.sendWindow(win);
        windowsChanged();
        record<RaiseWindow>(before, win);
    }
}

void MyGraphicsView::setButtonLayerWin(const int &win)
{
    const WallModel before = m_model;
    if (!m_locked && m_model.lower(win)) {
        m_sender.sendWindow(win);
        windowsChanged();
        record<LowerWindow>(before, win);
    }
}

void MyGraphicsView::setLock(const bool &lock)
{
    m_locked = lock;
    cancelDrag();
    viewport()->update();
}

QList<int> MyGraphicsView::getItemRect(int win) const
{
    return TrimTables::sections(m_model, win);
}

// The canvas is rebuilt or stored meanwhile; what was nudged last still
// goes to the preset shown now.
void MyGraphicsView::setDisSend()
{
    m_sender.hold();
}

void MyGraphicsView::setSend()
{
    m_sender.resume();
}

// A whole preset was loaded: it is what the device holds for it.
void MyGraphicsView::contentReplaced()
{
    m_sender.adopt();
    windowsChanged();
}

void MyGraphicsView::setInCard(int win, int code)
{
    const WallModel before = m_model;
    if (m_locked || !m_model.setChannel(win, code))
        return;
    m_sender.sendSource(win, code);
    windowsChanged();
    if (before.window(win).channel != code)
        record<ChangeSource>(before, win);
}

// Eight values: input x, y, width, height, then output x, y, width, height.
void MyGraphicsView::setTrim(const int win, const int screen, const QList<int> values)
{
    constexpr int TrimValues = 8;
    if (m_locked || values.size() != TrimValues)
        return;
    const WindowSection trim{screen, QRect(values[0], values[1], values[2], values[3]),
                             QRect(values[4], values[5], values[6], values[7])};
    const WallModel before = m_model;
    if (!m_model.setTrim(win, trim)) {
        qCWarning(lcLayout) << "trim of window" << win << "on screen" << screen << "refused";
        return;
    }
    m_sender.sendWindow(win);
    record<TrimWindow>(before, win);
}

void MyGraphicsView::setTrimInRect(const int win, const QRect rect)
{
    const WallModel before = m_model;
    if (!m_locked && m_model.setSource(win, rect)) {
        m_sender.sendWindow(win);
        windowsChanged();
        record<TrimWindow>(before, win);
    }
}

void MyGraphicsView::setTrimOutRect(const int win, const QRectF rect)
{
    const WallModel before = m_model;
    if (!m_locked && placeWindow(win, rect.toRect())) {
        m_sender.sendWindow(win);
        record<TrimWindow>(before, win);
    }
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
    const int id = m_model.windowAt(p);
    select(id);
    if (!m_locked)
        m_pointer.press(m_model, id, p, scale());
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
    const int id = m_model.windowAt(mapToScene(event->pos()));
    if (id >= 0 && !m_locked)
        emit fine_tuning(id);
}

void MyGraphicsView::keyPressEvent(QKeyEvent *event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? ShiftStep : 1;
    switch (event->key()) {
    case Qt::Key_Left: return nudge(-step, 0);
    case Qt::Key_Right: return nudge(step, 0);
    case Qt::Key_Up: return nudge(0, -step);
    case Qt::Key_Down: return nudge(0, step);
    case Qt::Key_Delete: return deleteWindow(m_selected);
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
    if (!QRectF(m_model.grid().bounds()).contains(p))
        return;
    const int id = m_model.windowAt(p);
    select(id);
    CanvasMenu menu(id, m_locked, m_text, this);
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
    dropChannel(code, mapToScene(event->pos()));
}

void MyGraphicsView::drawForeground(QPainter *painter, const QRectF &)
{
    if (m_locked)
        LockBadge::paint(painter, viewport()->width(), m_text("Locked", "已锁定"));
}

void MyGraphicsView::rebuildScene()
{
    m_scene->setWall(m_model.grid());
    syncWindows();
    fitWall();
}

void MyGraphicsView::syncWindows()
{
    if (!m_model.contains(m_selected))
        m_selected = -1;
    m_scene->setWindows(m_model, m_selected);
}

void MyGraphicsView::fitWall()
{
    fitInView(m_scene->sceneRect(), Qt::KeepAspectRatio);
}

void MyGraphicsView::select(int id)
{
    m_selected = id;
    m_scene->mark(id);
}

qreal MyGraphicsView::scale() const
{
    return 1 / transform().m11();
}

void MyGraphicsView::updateCursor(const QPointF &scenePos)
{
    const std::optional<Qt::CursorShape> cursor =
        m_locked ? std::nullopt : PointerEdit::cursorAt(m_model, scenePos, scale());
    if (cursor)
        viewport()->setCursor(*cursor);
    else
        viewport()->unsetCursor();
}

bool MyGraphicsView::createWindow(int channel, const QRect &rect)
{
    WallWindow w;
    w.id = m_model.freeId();
    w.channel = channel;
    w.rect = rect;
    w.source = WallModel::pictureRect();
    if (w.id < 0 || !m_model.insert(w)) {
        emit ignore_message(ScreenFull);
        return false;
    }
    m_selected = w.id;
    emit s_creat_win(w.id, channel);
    m_sender.sendWindow(w.id);
    windowsChanged();
    return true;
}

// A change the wall cannot take is undone: outside the wall it has no
// screen, on the wall it would overfill one. An empty rectangle is no
// operator's choice (the dialogs refuse it) and is only logged.
bool MyGraphicsView::placeWindow(int id, const QRect &rect)
{
    if (!m_model.contains(id) || rect == m_model.window(id).rect) {
        syncWindows();
        return false;
    }
    if (!m_model.setRect(id, rect)) {
        syncWindows();
        if (rect.isEmpty())
            qCWarning(lcLayout) << "empty rectangle for window" << id << "refused";
        else
            emit ignore_message(m_model.grid().bounds().contains(rect) ? ScreenFull : NoScreen);
        return false;
    }
    windowsChanged();
    return true;
}

void MyGraphicsView::deleteWindow(int id)
{
    const WallModel before = m_model;
    if (m_locked || !m_model.remove(id))
        return;
    m_sender.sendWindow(id);
    windowsChanged();
    record<DeleteWindow>(before, id);
}

void MyGraphicsView::deleteAll()
{
    if (m_locked)
        return;
    const WallModel before = m_model;
    clearAndSend();
    record<DeleteAllWindows>(before);
}

void MyGraphicsView::clearAndSend()
{
    m_model.clear();
    m_sender.sendDeleteAll();
    windowsChanged();
}

int MyGraphicsView::droppedChannel(const QDropEvent *event) const
{
    const int code = ChannelMime::channel(event->mimeData());
    return m_locked || code > WallModel::MaxChannel ? -1 : code;
}

void MyGraphicsView::dropChannel(int code, const QPointF &scenePos)
{
    const int id = m_model.windowAt(scenePos);
    if (id >= 0)
        return setInCard(id, code);
    const int screen = m_model.grid().screenAt(scenePos);
    const WallModel before = m_model;
    if (screen < 0)
        emit ignore_message(NoScreen);
    else if (createWindow(code, m_model.grid().screenRect(screen)))
        record<DropWindow>(before, m_selected);
}

void MyGraphicsView::nudge(int dx, int dy)
{
    if (m_locked || !m_model.contains(m_selected))
        return;
    const QRect bounds = m_model.grid().bounds();
    QRect rect = m_model.window(m_selected).rect.translated(dx, dy);
    rect.moveTo(qBound(0, rect.x(), bounds.width() - rect.width()),
                qBound(0, rect.y(), bounds.height() - rect.height()));
    const WallModel before = m_model;
    if (placeWindow(m_selected, rect)) {
        m_sender.sendLater(m_selected);
        record<NudgeWindow>(before, m_selected, m_sender.group());
    }
}

// The window goes back where it was; the button's release then does nothing.
void MyGraphicsView::cancelDrag()
{
    m_pointer.cancel();
    syncWindows();
}

void MyGraphicsView::finishDrag(const QPointF &scenePos)
{
    const int id = m_pointer.window();
    const WindowDrag drag = m_pointer.finish();
    const QRect rect = drag.rectAt(scenePos);
    const WallModel before = m_model;
    if (drag.isDrawing()) {
        if (rect.width() >= WindowDrag::MinSize && rect.height() >= WindowDrag::MinSize
            && createWindow(curChannel, rect))
            record<DrawWindow>(before, m_selected);
    } else if (placeWindow(id, rect)) {
        m_sender.sendWindow(id);
        if (drag.isMove())
            record<MoveWindow>(before, id);
        else
            record<ResizeWindow>(before, id);
    }
}

void MyGraphicsView::connectMenu(const CanvasMenu *menu)
{
    connect(menu, &CanvasMenu::trimming, this, &MyGraphicsView::fine_tuning);
    connect(menu, &CanvasMenu::trimmingData, this,
            [this](int id) { emit fine_tuning_data(TrimTables::rectangles(m_model, id)); });
    connect(menu, &CanvasMenu::topLayer, this, &MyGraphicsView::setTopLayerWin);
    connect(menu, &CanvasMenu::bottomLayer, this, &MyGraphicsView::setButtonLayerWin);
    connect(menu, &CanvasMenu::deleteWindow, this, &MyGraphicsView::deleteWindow);
    connect(menu, &CanvasMenu::deleteAll, this, &MyGraphicsView::deleteAll);
    connect(menu, &CanvasMenu::presetName, this, &MyGraphicsView::setModelName);
}

void MyGraphicsView::setUndoStack(QUndoStack *stack)
{
    m_undo = stack;
}

// Undo and redo put the windows back as they were; the device is sent what
// changed, as after the equivalent edit.
void MyGraphicsView::replayEdit(const WallModel &model, int window)
{
    if (model.grid() != m_model.grid()) {
        qCWarning(lcLayout) << "an edit of another wall is not replayed";
        return;
    }
    m_model = model;
    m_selected = m_model.contains(window) ? window : -1;
    m_sender.sendWindow(window);
    windowsChanged();
}

void MyGraphicsView::replaySource(int window, int code)
{
    if (m_model.setChannel(window, code)) {
        m_sender.sendSource(window, code);
        windowsChanged();
    }
}

void MyGraphicsView::replayDeleteAll()
{
    clearAndSend();
}

void MyGraphicsView::windowsChanged()
{
    syncWindows();
    emit s_win_mes(m_model.layers());
}
