#ifndef WINDOWDRAG_H
#define WINDOWDRAG_H

#include "edgesnapper.h"

#include <QFlags>
#include <QPointF>
#include <QRect>

// The rectangle a pointer drag gives a window: moving it, pulling some of
// its edges, or drawing a new one from the press point. Edges snap, the
// result stays on the wall and never gets smaller than MinSize.
class WindowDrag
{
public:
    enum Edge { Left = 0x1, Top = 0x2, Right = 0x4, Bottom = 0x8 };
    Q_DECLARE_FLAGS(Edges, Edge)
    static constexpr int MinSize = 16;

    // No edges: the whole window moves.
    WindowDrag(const QRect &start, Edges edges, const QPointF &press, const QRect &bounds,
               const EdgeSnapper &snapper);
    static WindowDrag drawing(const QPointF &press, const QRect &bounds, const EdgeSnapper &snapper);

    QRect rectAt(const QPointF &point) const;
    bool isDrawing() const { return m_drawing; }
    bool isMove() const { return !m_drawing && !m_edges; }

    // The edges of the rectangle within reach of the point (the nearer of two).
    static Edges edgesAt(const QRectF &rect, const QPointF &point, qreal reach);
    // The rectangle moved as little as it takes to lie within the bounds.
    static QRect keptIn(const QRect &rect, const QRect &bounds);

private:
    QRect moved(const QPoint &delta) const;
    QRect resized(const QPoint &delta) const;
    QRect drawn(const QPointF &point) const;
    int snappedX(int x) const { return x + m_snapper.offsetX({x}); }
    int snappedY(int y) const { return y + m_snapper.offsetY({y}); }

    QRect m_start;
    Edges m_edges;
    QPointF m_press;
    QRect m_bounds;
    EdgeSnapper m_snapper;
    bool m_drawing = false;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(WindowDrag::Edges)

#endif // WINDOWDRAG_H
