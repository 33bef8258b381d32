#include "lockbadge.h"

#include <QPainter>

namespace {

const QColor BadgeColor(200, 60, 60, 220);

} // namespace

void LockBadge::paint(QPainter *painter, int viewWidth, const QString &label)
{
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing);
    QFont font = painter->font();
    font.setPixelSize(13);
    font.setBold(true);
    painter->setFont(font);
    const qreal width = QFontMetricsF(font).horizontalAdvance(label) + 44;
    const QRectF badge(viewWidth - width - 10, 10, width, 28);
    painter->setPen(Qt::NoPen);
    painter->setBrush(BadgeColor);
    painter->drawRoundedRect(badge, 6, 6);
    paintPadlock(painter, QRectF(badge.left() + 12, badge.top() + 6, 12, 16));
    painter->setPen(Qt::white);
    painter->drawText(badge.adjusted(32, 0, -10, 0), Qt::AlignVCenter | Qt::AlignLeft, label);
    painter->restore();
}

void LockBadge::paintPadlock(QPainter *painter, const QRectF &box)
{
    const qreal w = box.width();
    painter->setPen(QPen(Qt::white, w / 7));
    painter->setBrush(Qt::NoBrush);
    painter->drawArc(QRectF(box.left() + w * 0.22, box.top(), w * 0.56, w * 0.7), 0, 180 * 16);
    painter->setPen(Qt::NoPen);
    painter->setBrush(Qt::white);
    painter->drawRoundedRect(QRectF(box.left(), box.top() + w * 0.4, w, w * 0.7), 2, 2);
}
