#include "walleditor.h"

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

#include "layoutlog.h"
#include "windowdrag.h"

#include <messagecode.h>

namespace {

// What refused says, counted from the canvas's first message.
enum Refusal {
    NoScreen = Message::NoScreen - Message::CanvasBase,
    ScreenFull = Message::ScreenFull - Message::CanvasBase,
};

} // namespace

WallEditor::WallEditor(MyGraphicsView *canvas)
    : m_canvas(canvas)
{
}

void WallEditor::setGrid(const WallGrid &grid)
{
    m_model.setGrid(grid);
    m_selected = -1;
    m_sender.adopt();
}

bool WallEditor::load(const std::function<bool(WallModel *)> &fill)
{
    const bool ok = fill(&m_model);
    m_sender.adopt();
    announce();
    return ok;
}

void WallEditor::raise(int id)
{
    edit<RaiseWindow>(id, &WallModel::raise);
}

void WallEditor::lower(int id)
{
    edit<LowerWindow>(id, &WallModel::lower);
}

void WallEditor::remove(int id)
{
    edit<DeleteWindow>(id, &WallModel::remove);
}

void WallEditor::removeAll()
{
    if (m_locked)
        return;
    const WallModel before = m_model;
    clearAndSend();
    record<DeleteAllWindows>(before);
}

void WallEditor::setChannel(int id, int channel)
{
    const WallModel before = m_model;
    if (m_locked || !m_model.setChannel(id, channel))
        return;
    m_sender.sendSource(id, channel);
    announce();
    if (before.window(id).channel != channel)
        record<ChangeSource>(before, id);
}

void WallEditor::setSource(int id, const QRect &source)
{
    edit<TrimWindow>(id, &WallModel::setSource, source);
}

void WallEditor::setRect(int id, const QRect &rect)
{
    const WallModel before = m_model;
    if (!m_locked && placeWindow(id, rect)) {
        m_sender.sendWindow(id);
        record<TrimWindow>(before, id);
    }
}

void WallEditor::setTrim(int id, const WindowSection &trim)
{
    if (m_locked)
        return;
    const WallModel before = m_model;
    if (!m_model.setTrim(id, trim)) {
        qCWarning(lcLayout) << "trim of window" << id << "on screen" << trim.screen << "refused";
        return;
    }
    m_sender.sendWindow(id);
    record<TrimWindow>(before, id);
}

void WallEditor::nudge(int dx, int dy)
{
    if (m_locked || !m_model.contains(m_selected))
        return;
    const QRect rect = WindowDrag::keptIn(m_model.window(m_selected).rect.translated(dx, dy),
                                          m_model.grid().bounds());
    const WallModel before = m_model;
    if (placeWindow(m_selected, rect)) {
        m_sender.sendLater(m_selected);
        record<NudgeWindow>(before, m_selected, m_sender.group());
    }
}

// On a window the source replaces its own; on a screen it fills the screen.
void WallEditor::drop(int channel, const QPointF &point)
{
    if (m_locked)
        return;
    const int id = m_model.windowAt(point);
    if (id >= 0)
        return setChannel(id, channel);
    const int screen = m_model.grid().screenAt(point);
    const WallModel before = m_model;
    if (screen < 0)
        emit refused(NoScreen);
    else if (createWindow(channel, m_model.grid().screenRect(screen)))
        record<DropWindow>(before, m_selected);
}

void WallEditor::draw(int channel, const QRect &rect)
{
    const WallModel before = m_model;
    if (!m_locked && createWindow(channel, rect))
        record<DrawWindow>(before, m_selected);
}

void WallEditor::drag(int id, const QRect &rect, bool moved)
{
    const WallModel before = m_model;
    if (m_locked || !placeWindow(id, rect))
        return;
    m_sender.sendWindow(id);
    if (moved)
        record<MoveWindow>(before, id);
    else
        record<ResizeWindow>(before, id);
}

// Undo and redo put the windows back as they were; the device is sent what
// changed, as after the equivalent edit.
void WallEditor::replay(const WallModel &model, int window)
{
    if (model.grid() != m_model.grid()) {
        qCWarning(lcLayout) << "an edit of another wall is not replayed";
        return;
    }
    m_model = model;
    m_selected = m_model.contains(window) ? window : -1;
    m_sender.sendWindow(window);
    announce();
}

void WallEditor::replaySource(int window, int channel)
{
    if (m_model.setChannel(window, channel)) {
        m_sender.sendSource(window, channel);
        announce();
    }
}

void WallEditor::replayDeleteAll()
{
    clearAndSend();
}

template<class Edit, class... Params, class... Args>
void WallEditor::edit(int id, bool (WallModel::*change)(int, Params...), const Args &...args)
{
    const WallModel before = m_model;
    if (!m_locked && (m_model.*change)(id, args...)) {
        m_sender.sendWindow(id);
        announce();
        record<Edit>(before, id);
    }
}

// An edit goes to the undo stack only while the canvas sends its edits.
template<class Edit, class... Args>
void WallEditor::record(const WallModel &before, Args... args)
{
    if (m_undo && m_sender.isSending())
        m_undo->push(new Edit(m_canvas, before, args...));
}

bool WallEditor::createWindow(int channel, const QRect &rect)
{
    const WallWindow w = WallWindow::of(m_model.freeId(), channel, rect, WallModel::pictureRect(), 0);
    if (w.id < 0 || !m_model.insert(w)) {
        emit refused(ScreenFull);
        return false;
    }
    m_selected = w.id;
    emit created(w.id, channel);
    m_sender.sendWindow(w.id);
    announce();
    return true;
}

// Outside the wall a window has no screen, on the wall it may overfill
// one. An empty rectangle is no operator's choice (the dialogs refuse it)
// and is only logged.
bool WallEditor::placeWindow(int id, const QRect &rect)
{
    if (!m_model.contains(id) || rect == m_model.window(id).rect)
        return false;
    if (!m_model.setRect(id, rect)) {
        if (rect.isEmpty())
            qCWarning(lcLayout) << "empty rectangle for window" << id << "refused";
        else
            emit refused(m_model.grid().bounds().contains(rect) ? ScreenFull : NoScreen);
        return false;
    }
    announce();
    return true;
}

void WallEditor::clearAndSend()
{
    m_model.clear();
    m_sender.sendDeleteAll();
    announce();
}

void WallEditor::announce()
{
    if (!m_model.contains(m_selected))
        m_selected = -1;
    emit changed();
}
