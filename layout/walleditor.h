#ifndef WALLEDITOR_H
#define WALLEDITOR_H

#include "wallmodel.h"
#include "windowsender.h"

#include <QObject>

#include <functional>

class MyGraphicsView;
class QUndoStack;

// The preset shown on the canvas and its edits: each edit is checked by the
// model, sent to the device and recorded for undo; none while locked.
// Refused edits say why. The selected window is the one the keys act on.
class WallEditor : public QObject
{
    Q_OBJECT

public:
    // The canvas is what the undo commands replay their edits on.
    explicit WallEditor(MyGraphicsView *canvas);

    const WallModel &model() const { return m_model; }
    WindowSender &sender() { return m_sender; }
    const WindowSender &sender() const { return m_sender; }
    int selected() const { return m_selected; }
    void select(int id) { m_selected = id; }
    bool isLocked() const { return m_locked; }
    void setLocked(bool locked) { m_locked = locked; }
    void setUndoStack(QUndoStack *stack) { m_undo = stack; }

    void setGrid(const WallGrid &grid); // without windows
    // A whole preset replaces the windows: what the device holds for it.
    // False when fill says it could not be read.
    bool load(const std::function<bool(WallModel *)> &fill);

    void raise(int id);
    void lower(int id);
    void remove(int id);
    void removeAll();
    void setChannel(int id, int channel);
    void setSource(int id, const QRect &source);
    void setRect(int id, const QRect &rect);
    void setTrim(int id, const WindowSection &trim);
    void nudge(int dx, int dy);
    void drop(int channel, const QPointF &point);
    void draw(int channel, const QRect &rect);
    void drag(int id, const QRect &rect, bool moved);

    void replay(const WallModel &model, int window);
    void replaySource(int window, int channel);
    void replayDeleteAll();

signals:
    void changed(); // the windows, their channels or their order
    void created(int id, int channel);
    void refused(int code);

private:
    template<class Edit, class... Params, class... Args>
    void edit(int id, bool (WallModel::*change)(int, Params...), const Args &...args);
    template<class Edit, class... Args>
    void record(const WallModel &before, Args... args);
    bool createWindow(int channel, const QRect &rect);
    bool placeWindow(int id, const QRect &rect);
    void clearAndSend();
    void announce();

    MyGraphicsView *m_canvas;
    WallModel m_model;
    WindowSender m_sender{m_model};
    int m_selected = -1;
    bool m_locked = false;
    QUndoStack *m_undo = nullptr;
};

#endif // WALLEDITOR_H
