#include "windowitem.h"

#include <devicedata.h>

#include <QPainter>

namespace {

constexpr int FillAlpha = 190;
constexpr qreal HandleSize = 7;
const QColor MarkColor(255, 255, 255);
const QColor TextColor(255, 255, 255);
const QColor ShadowColor(0, 0, 0, 110);
const QColor BackupColor(255, 193, 7);

} // namespace

WindowItem::WindowItem(int id, int channel, const QRect &rect)
    : m_id(id), m_channel(channel), m_rect(rect)
{
}

void WindowItem::setRect(const QRect &rect)
{
    if (rect == m_rect)
        return;
    prepareGeometryChange();
    m_rect = rect;
}

void WindowItem::setMarked(bool marked)
{
    m_marked = marked;
    update();
}

void WindowItem::setBackupNote(const QString &note)
{
    m_onBackup = !note.isEmpty();
    setToolTip(note);
    update();
}

QRectF WindowItem::boundingRect() const
{
    return m_rect;
}

// One colour per signal kind: one-channel cards, then HDMI, DVI and SDI
// two-channel cards.
QColor WindowItem::kindColor(int channel)
{
    static const QColor colors[] = {QColor(38, 166, 154), QColor(66, 133, 244),
                                    QColor(239, 138, 34), QColor(171, 71, 188)};
    return colors[qBound(0, (channel + 32) / 64, 3)];
}

// Drawn in device pixels so that lines and text stay crisp at any zoom.
void WindowItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    const QRectF area = painter->transform().mapRect(QRectF(m_rect)).adjusted(1.5, 1.5, -1.5, -1.5);
    const QColor color = kindColor(m_channel);
    QColor fill = color;
    fill.setAlpha(FillAlpha);
    painter->save();
    painter->resetTransform();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setBrush(fill);
    painter->setPen(QPen(m_marked ? MarkColor : color.lighter(140), m_marked ? 2.5 : 1.5));
    painter->drawRect(area);

    const QRectF text = area.adjusted(8, 6, -8, -6);
    QFont font = painter->font();
    font.setPixelSize(qBound(10, int(area.height() / 8), 18));
    font.setBold(true);
    painter->setFont(font);
    const QFontMetricsF metrics(font);
    paintLabel(painter, text, metrics.elidedText(QStringLiteral("Win%1").arg(m_id + 1), Qt::ElideRight, text.width()));
    font.setBold(false);
    painter->setFont(font);
    paintLabel(painter, text.adjusted(0, metrics.height(), 0, 0),
               metrics.elidedText(DeviceData::channelName(m_channel), Qt::ElideRight, text.width()));
    if (m_onBackup)
        paintBackupBadge(painter, area);
    if (m_marked)
        paintHandles(painter, area);
    painter->restore();
}

// White text with a soft shadow, readable on every kind colour.
void WindowItem::paintLabel(QPainter *painter, const QRectF &area, const QString &label)
{
    painter->setPen(ShadowColor);
    painter->drawText(area.translated(1, 1), Qt::AlignLeft | Qt::AlignTop, label);
    painter->setPen(TextColor);
    painter->drawText(area, Qt::AlignLeft | Qt::AlignTop, label);
}

void WindowItem::paintHandles(QPainter *painter, const QRectF &area) const
{
    painter->setPen(QPen(QColor(40, 40, 40), 1));
    painter->setBrush(MarkColor);
    const QPointF c = area.center();
    for (const QPointF &p : {area.topLeft(), QPointF(c.x(), area.top()), area.topRight(),
                             QPointF(area.right(), c.y()), area.bottomRight(),
                             QPointF(c.x(), area.bottom()), area.bottomLeft(), QPointF(area.left(), c.y())})
        painter->drawRect(QRectF(p.x() - HandleSize / 2, p.y() - HandleSize / 2, HandleSize, HandleSize));
}

// A "B" in the top-right corner, as the window list marks it.
void WindowItem::paintBackupBadge(QPainter *painter, const QRectF &area)
{
    const qreal size = qBound(12.0, area.height() / 5, 22.0);
    const QRectF badge(area.right() - size - 4, area.top() + 4, size, size);
    if (!area.contains(badge))
        return;
    painter->setPen(Qt::NoPen);
    painter->setBrush(BackupColor);
    painter->drawRoundedRect(badge, 3, 3);
    QFont font = painter->font();
    font.setPixelSize(int(size * 0.7));
    font.setBold(true);
    painter->setFont(font);
    painter->setPen(Qt::black);
    painter->drawText(badge, Qt::AlignCenter, QStringLiteral("B"));
}
