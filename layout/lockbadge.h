#ifndef LOCKBADGE_H
#define LOCKBADGE_H

#include <QRectF>

class QPainter;
class QString;

// The badge a locked canvas shows in its top-right corner: a padlock and
// the word, drawn in view pixels.
class LockBadge
{
public:
    static void paint(QPainter *painter, int viewWidth, const QString &label);

private:
    static void paintPadlock(QPainter *painter, const QRectF &box);
};

#endif // LOCKBADGE_H
