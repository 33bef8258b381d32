#include "pointeredit.h"

#include "wallmodel.h"
#include "wallscene.h"

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
}

void PointerEdit::move(const QPointF &point)
{
    const QRect rect = m_drag->rectAt(point);
    if (m_drag->isDrawing())
        m_scene->showBand(rect);
    else
        m_scene->moveWindow(m_window, rect);
}

WindowDrag PointerEdit::finish()
{
    WindowDrag drag = *m_drag;
    cancel();
    return drag;
}

void PointerEdit::cancel()
{
    m_drag.reset();
    m_scene->hideBand();
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
