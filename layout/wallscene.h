#ifndef WALLSCENE_H
#define WALLSCENE_H

#include <QGraphicsScene>
#include <QHash>
#include <QMap>

class QGraphicsRectItem;
class WallGrid;
class WallModel;
class WindowItem;

// The wall's screens as tiles, the windows over them in layer order, and
// the rubber band of a window being drawn; in wall pixels.
class WallScene : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit WallScene(const WallGrid &grid, QObject *parent = nullptr);

    void setWall(const WallGrid &grid); // without windows
    void setWindows(const WallModel &model, int marked);
    void mark(int id);
    // The windows on backup inputs, each with its note; kept across
    // setWindows().
    void setBackups(const QMap<int, QString> &notes);
    void moveWindow(int id, const QRect &rect); // shown only, while dragged
    void showBand(const QRect &rect);
    void hideBand();

private:
    QHash<int, WindowItem *> m_items;
    QMap<int, QString> m_backups;
    QGraphicsRectItem *m_band = nullptr;
};

#endif // WALLSCENE_H
