#include "pointeredit.h"

#include "wallmodel.h"
#include "wallscene.h"

#include <QApplication>

namespace {

constexpr qreal SnapReach = 8;   // view pixels
constexpr qreal HandleReach = 6; // view pixels around an edge that resize

Qt::CursorShape cursorFor(WindowDrag::Edges edges)
{
    using E = WindowDrag;
    if (edges == (E::Left | E::Top) || edges == (E::Right | E::Bottom))
        return Qt::SizeFDiagCursor;
    if (edges == (E::Right | E::Top) || edges == (E::Left | E::Bottom))
        return Qt::SizeBDiagCursor;
    if (edges & (E::Left | E::Right))
        return Qt::SizeHorCursor;
    return Qt::SizeVerCursor;
}

} // namespace

void PointerEdit::press(const WallModel &model, int id, const QPointF &point, qreal scale)
{
    const EdgeSnapper snapper = EdgeSnapper::around(model, id, qRound(SnapReach * scale));
    const QRect bounds = model.grid().bounds();
    if (id >= 0) {
        const QRect rect = model.window(id).rect;
        m_drag = WindowDrag(rect, WindowDrag::edgesAt(rect, point, HandleReach * scale), point, bounds, snapper);
    } else if (QRectF(bounds).contains(point)) {
        m_drag = WindowDrag::drawing(point, bounds, snapper);
    }
    m_window = id;
    m_press = point;
    // The pointer is at whole view pixels: half a pixel more keeps the
    // distance itself a click whatever the scale's rounding.
    m_clickReach = (QApplication::startDragDistance() + 0.5) * scale;
    m_started = false;
}

void PointerEdit::move(const QPointF &point)
{
    if (!started(point))
        return;
    const QRect rect = m_drag->rectAt(point);
    if (m_drag->isDrawing())
        m_scene->showBand(rect);
    else
        m_scene->moveWindow(m_window, rect);
}

std::optional<WindowDrag> PointerEdit::finish(const QPointF &point)
{
    std::optional<WindowDrag> drag = started(point) ? m_drag : std::nullopt;
    cancel();
    return drag;
}

void PointerEdit::cancel()
{
    m_drag.reset();
    m_scene->hideBand();
}

// Once past the drag distance the drag goes on, wherever the pointer goes.
bool PointerEdit::started(const QPointF &point)
{
    m_started = m_started || (point - m_press).manhattanLength() > m_clickReach;
    return m_started;
}

std::optional<Qt::CursorShape> PointerEdit::cursorAt(const WallModel &model, const QPointF &point,
                                                     qreal scale)
{
    const int id = model.windowAt(point);
    if (id < 0)
        return std::nullopt;
    const WindowDrag::Edges edges = WindowDrag::edgesAt(model.window(id).rect, point, HandleReach * scale);
    return edges ? cursorFor(edges) : Qt::SizeAllCursor;
}
