#include "lightpoint.h"

#include <QPainter>
#include <QRadialGradient>

LightPoint::LightPoint(QWidget *parent)
    : QWidget(parent)
    , m_bgColor(124, 124, 124)
{
}

QSize LightPoint::sizeHint() const
{
    return QSize(24, 24);
}

QSize LightPoint::minimumSizeHint() const
{
    return QSize(8, 8);
}

void LightPoint::setBgColor(const QColor &color)
{
    if (m_bgColor == color)
        return;
    m_bgColor = color;
    update();
}

void LightPoint::paintEvent(QPaintEvent *)
{
    // Drawn on a 100 x 100 square centred in the widget.
    const int side = qMin(width(), height());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.translate(width() / 2.0, height() / 2.0);
    painter.scale(side / 100.0, side / 100.0);
    painter.setPen(Qt::NoPen);

    QRadialGradient rim(0, 0, 50);
    rim.setColorAt(0.85, m_bgColor.darker(160));
    rim.setColorAt(1.0, m_bgColor.darker(220));
    painter.setBrush(rim);
    painter.drawEllipse(QPointF(0, 0), 49, 49);

    QRadialGradient body(-12, -12, 60);
    body.setColorAt(0.0, m_bgColor.lighter(125));
    body.setColorAt(1.0, m_bgColor.darker(115));
    painter.setBrush(body);
    painter.drawEllipse(QPointF(0, 0), 42, 42);

    QLinearGradient shine(0, -40, 0, 0);
    shine.setColorAt(0.0, QColor(255, 255, 255, 170));
    shine.setColorAt(1.0, QColor(255, 255, 255, 0));
    painter.setBrush(shine);
    painter.drawEllipse(QRectF(-28, -38, 56, 36));
}
