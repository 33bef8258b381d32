#include "navlabel.h"

#include <QPainter>
#include <QPainterPath>

namespace {

const int Padding = 8;
const qreal Radius = 6;

} // namespace

NavLabel::NavLabel(QWidget *parent)
    : QLabel(parent)
    , m_bgColor(50, 56, 66, 235)
{
    setAlignment(Qt::AlignCenter);
    setWordWrap(true);
    setTextColor(Qt::white);
    updateMargins();
}

void NavLabel::setArrowPosition(ArrowPosition position)
{
    m_arrowPosition = position;
    updateMargins();
}

void NavLabel::setArrowSize(int size)
{
    m_arrowSize = qMax(0, size);
    updateMargins();
}

void NavLabel::setBgColor(const QColor &color)
{
    m_bgColor = color;
    update();
}

QColor NavLabel::textColor() const
{
    return palette().color(QPalette::WindowText);
}

void NavLabel::setTextColor(const QColor &color)
{
    QPalette pal = palette();
    pal.setColor(QPalette::WindowText, color);
    setPalette(pal);
}

// The room the arrow takes on its side of the plate.
QMargins NavLabel::arrowMargins() const
{
    switch (m_arrowPosition) {
    case ArrowPosition::Left:
        return QMargins(m_arrowSize, 0, 0, 0);
    case ArrowPosition::Right:
        return QMargins(0, 0, m_arrowSize, 0);
    case ArrowPosition::Top:
        return QMargins(0, m_arrowSize, 0, 0);
    case ArrowPosition::Bottom:
        return QMargins(0, 0, 0, m_arrowSize);
    case ArrowPosition::None:
        break;
    }
    return QMargins();
}

void NavLabel::updateMargins()
{
    setContentsMargins(arrowMargins() + QMargins(Padding + 2, Padding, Padding + 2, Padding));
    update();
}

QPainterPath NavLabel::plate() const
{
    const QRectF body = QRectF(rect()).marginsRemoved(arrowMargins());
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.addRoundedRect(body, Radius, Radius);

    // The arrow's base reaches one pixel into the body to leave no seam.
    const QPointF c = body.center();
    const qreal a = m_arrowSize;
    QPolygonF arrow;
    switch (m_arrowPosition) {
    case ArrowPosition::Left:
        arrow << QPointF(body.left() + 1, c.y() - a) << QPointF(0, c.y()) << QPointF(body.left() + 1, c.y() + a);
        break;
    case ArrowPosition::Right:
        arrow << QPointF(body.right() - 1, c.y() - a) << QPointF(width(), c.y())
              << QPointF(body.right() - 1, c.y() + a);
        break;
    case ArrowPosition::Top:
        arrow << QPointF(c.x() - a, body.top() + 1) << QPointF(c.x(), 0) << QPointF(c.x() + a, body.top() + 1);
        break;
    case ArrowPosition::Bottom:
        arrow << QPointF(c.x() - a, body.bottom() - 1) << QPointF(c.x(), height())
              << QPointF(c.x() + a, body.bottom() - 1);
        break;
    case ArrowPosition::None:
        return path;
    }
    path.addPolygon(arrow);
    return path;
}

void NavLabel::paintEvent(QPaintEvent *event)
{
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_bgColor);
        painter.drawPath(plate());
    }
    QLabel::paintEvent(event);
}
