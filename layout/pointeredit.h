#ifndef POINTEREDIT_H
#define POINTEREDIT_H

#include "windowdrag.h"

#include <QPointF>

#include <optional>

class WallModel;
class WallScene;

// The mouse's part in editing the wall: from a press to the release a
// window moved or resized, or a new one drawn, shown on the scene as it
// goes. Nothing starts before the pointer has gone past the drag distance,
// so that a click never changes the wall. Edges within a few view pixels
// are caught: scale is the wall pixels of one view pixel.
class PointerEdit
{
public:
    explicit PointerEdit(WallScene *scene) : m_scene(scene) {}

    // On window id, or drawing a new one when -1 and on the wall.
    void press(const WallModel &model, int id, const QPointF &point, qreal scale);
    bool isActive() const { return m_drag.has_value(); }
    int window() const { return m_window; }
    void move(const QPointF &point);
    // The drag as it ends at the point, off the scene; none for a click.
    std::optional<WindowDrag> finish(const QPointF &point);
    void cancel();

    // What a press at the point would do; none off the windows.
    static std::optional<Qt::CursorShape> cursorAt(const WallModel &model, const QPointF &point,
                                                   qreal scale);

private:
    bool started(const QPointF &point);

    WallScene *m_scene;
    std::optional<WindowDrag> m_drag;
    int m_window = -1;
    QPointF m_press;
    qreal m_clickReach = 0; // wall pixels the pointer may stray in a click
    bool m_started = false;
};

#endif // POINTEREDIT_H
