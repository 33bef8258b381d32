#include "screentile.h"

#include <QLinearGradient>
#include <QPainter>

namespace {

const QColor TileTop(44, 51, 60);
const QColor TileBottom(33, 38, 45);
const QColor TileBorder(78, 90, 104);
const QColor NumberColor(112, 128, 146);
const QColor SizeColor(104, 118, 132);

} // namespace

ScreenTile::ScreenTile(int screen, const QRect &rect)
    : m_screen(screen), m_rect(rect)
{
    setZValue(0);
}

QRectF ScreenTile::boundingRect() const
{
    return m_rect;
}

// Drawn in device pixels so that lines and text stay crisp at any zoom.
void ScreenTile::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF area = painter->transform().mapRect(QRectF(m_rect)).adjusted(1, 1, -1, -1);
    painter->save();
    painter->resetTransform();
    QLinearGradient fill(area.topLeft(), area.bottomLeft());
    fill.setColorAt(0, TileTop);
    fill.setColorAt(1, TileBottom);
    painter->setPen(QPen(TileBorder, 1));
    painter->setBrush(fill);
    painter->drawRect(area);

    QFont font = painter->font();
    font.setPixelSize(qBound(12, int(area.height() / 5), 40));
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(NumberColor);
    const QRectF upper(area.left(), area.top(), area.width(), area.height() * 0.6);
    painter->drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("LED%1").arg(m_screen + 1));

    font.setPixelSize(qBound(10, int(area.height() / 12), 16));
    font.setBold(false);
    painter->setFont(font);
    painter->setPen(SizeColor);
    const QRectF lower(area.left(), upper.bottom() + 4, area.width(), area.height() * 0.4 - 4);
    painter->drawText(lower, Qt::AlignHCenter | Qt::AlignTop,
                      QStringLiteral("%1 × %2").arg(m_rect.width()).arg(m_rect.height()));
    painter->restore();
}
