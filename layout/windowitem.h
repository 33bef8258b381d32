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
    // The window runs on a backup input: a badge, and the note as its tip.
    void setBackupNote(const QString &note);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    static QColor kindColor(int channel);

private:
    static void paintLabel(QPainter *painter, const QRectF &area, const QString &label);
    void paintHandles(QPainter *painter, const QRectF &area) const;
    static void paintBackupBadge(QPainter *painter, const QRectF &area);

    int m_id;
    int m_channel;
    QRect m_rect;
    bool m_marked = false;
    bool m_onBackup = false;
};

#endif // WINDOWITEM_H
