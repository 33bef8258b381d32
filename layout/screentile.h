#ifndef SCREENTILE_H
#define SCREENTILE_H

#include <QGraphicsItem>

// One LED screen of the wall: a tile with its number and size.
class ScreenTile : public QGraphicsItem
{
public:
    ScreenTile(int screen, const QRect &rect);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private:
    int m_screen;
    QRect m_rect;
};

#endif // SCREENTILE_H
