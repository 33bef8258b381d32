#ifndef WINDOWITEM_H
#define WINDOWITEM_H

#include <QGraphicsItem>

// One window over the screens: semi-transparent, coloured by the kind of
// its signal, with its number and channel name; outlined when selected.
class WindowItem : public QGraphicsItem
{
public:
    WindowItem(int id, int channel, const QRect &rect);

    void setRect(const QRect &rect);
    void setMarked(bool marked);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    static QColor kindColor(int channel);

private:
    static void paintLabel(QPainter *painter, const QRectF &area, const QString &label);
    void paintHandles(QPainter *painter, const QRectF &area) const;

    int m_id;
    int m_channel;
    QRect m_rect;
    bool m_marked = false;
};

#endif // WINDOWITEM_H
