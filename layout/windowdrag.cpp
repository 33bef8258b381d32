#include "windowdrag.h"

#include <QtMath>

namespace {

// Which of the two edges at a and b (a < b) lies within reach of v.
int nearerEdge(qreal v, qreal a, qreal b, qreal reach, int atA, int atB)
{
    const qreal da = qAbs(v - a);
    const qreal db = qAbs(v - b);
    if (qMin(da, db) > reach)
        return 0;
    return da <= db ? atA : atB;
}

} // namespace

WindowDrag::WindowDrag(const QRect &start, Edges edges, const QPointF &press, const QRect &bounds,
                       const EdgeSnapper &snapper)
    : m_start(start), m_edges(edges), m_press(press), m_bounds(bounds), m_snapper(snapper)
{
}

WindowDrag WindowDrag::drawing(const QPointF &press, const QRect &bounds, const EdgeSnapper &snapper)
{
    WindowDrag drag(QRect(), {}, press, bounds, snapper);
    drag.m_drawing = true;
    return drag;
}

QRect WindowDrag::rectAt(const QPointF &point) const
{
    if (m_drawing)
        return drawn(point);
    const QPoint delta = (point - m_press).toPoint();
    return m_edges ? resized(delta) : moved(delta);
}

WindowDrag::Edges WindowDrag::edgesAt(const QRectF &rect, const QPointF &point, qreal reach)
{
    if (!rect.adjusted(-reach, -reach, reach, reach).contains(point))
        return {};
    return Edges(QFlag(nearerEdge(point.x(), rect.left(), rect.right(), reach, Left, Right)
                       | nearerEdge(point.y(), rect.top(), rect.bottom(), reach, Top, Bottom)));
}

QRect WindowDrag::keptIn(const QRect &rect, const QRect &bounds)
{
    QRect kept = rect;
    kept.moveTo(qBound(bounds.x(), rect.x(), bounds.x() + bounds.width() - rect.width()),
                qBound(bounds.y(), rect.y(), bounds.y() + bounds.height() - rect.height()));
    return kept;
}

QRect WindowDrag::moved(const QPoint &delta) const
{
    QRect r = m_start.translated(delta);
    r.translate(m_snapper.offsetX({r.x(), r.x() + r.width()}),
                m_snapper.offsetY({r.y(), r.y() + r.height()}));
    return keptIn(r, m_bounds);
}

QRect WindowDrag::resized(const QPoint &delta) const
{
    int left = m_start.x();
    int top = m_start.y();
    int right = left + m_start.width();
    int bottom = top + m_start.height();
    if (m_edges & Left)
        left = qBound(m_bounds.x(), snappedX(left + delta.x()), right - MinSize);
    if (m_edges & Right)
        right = qBound(left + MinSize, snappedX(right + delta.x()), m_bounds.x() + m_bounds.width());
    if (m_edges & Top)
        top = qBound(m_bounds.y(), snappedY(top + delta.y()), bottom - MinSize);
    if (m_edges & Bottom)
        bottom = qBound(top + MinSize, snappedY(bottom + delta.y()), m_bounds.y() + m_bounds.height());
    return QRect(left, top, right - left, bottom - top);
}

QRect WindowDrag::drawn(const QPointF &point) const
{
    const auto clampedX = [this](qreal x) {
        return qBound(m_bounds.x(), snappedX(qRound(x)), m_bounds.x() + m_bounds.width());
    };
    const auto clampedY = [this](qreal y) {
        return qBound(m_bounds.y(), snappedY(qRound(y)), m_bounds.y() + m_bounds.height());
    };
    const int x0 = clampedX(m_press.x());
    const int x1 = clampedX(point.x());
    const int y0 = clampedY(m_press.y());
    const int y1 = clampedY(point.y());
    return QRect(qMin(x0, x1), qMin(y0, y1), qAbs(x1 - x0), qAbs(y1 - y0));
}
