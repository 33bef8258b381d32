#include "wallscene.h"

#include "screentile.h"
#include "wallmodel.h"
#include "windowitem.h"

#include <QGraphicsRectItem>
#include <QPen>

namespace {

constexpr qreal WallMargin = 0.02; // of the wall's larger side, around it
constexpr int BandZ = 1000;        // above every window
const QColor BandFill(255, 255, 255, 40);

} // namespace

WallScene::WallScene(const WallGrid &grid, QObject *parent)
    : QGraphicsScene(parent)
{
    setWall(grid);
}

void WallScene::setWall(const WallGrid &grid)
{
    clear();
    m_items.clear();
    for (int k = 0; k < grid.screenCount(); ++k)
        addItem(new ScreenTile(k, grid.screenRect(k)));
    m_band = addRect(QRectF(), QPen(Qt::white, 0, Qt::DashLine), BandFill);
    m_band->setZValue(BandZ);
    m_band->hide();
    const QRect bounds = grid.bounds();
    const qreal margin = qMax(bounds.width(), bounds.height()) * WallMargin;
    setSceneRect(QRectF(bounds).adjusted(-margin, -margin, margin, margin));
}

// 64 windows at most: their items are simply made anew.
void WallScene::setWindows(const WallModel &model, int marked)
{
    qDeleteAll(m_items);
    m_items.clear();
    int z = 1;
    for (int id : model.layers()) {
        const WallWindow &w = model.window(id);
        auto *item = new WindowItem(id, w.channel, w.rect);
        item->setZValue(z++);
        item->setMarked(id == marked);
        item->setBackupNote(m_backups.value(id));
        addItem(item);
        m_items.insert(id, item);
    }
}

void WallScene::mark(int id)
{
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        it.value()->setMarked(it.key() == id);
}

void WallScene::setBackups(const QMap<int, QString> &notes)
{
    m_backups = notes;
    for (auto it = m_items.cbegin(); it != m_items.cend(); ++it)
        it.value()->setBackupNote(notes.value(it.key()));
}

void WallScene::moveWindow(int id, const QRect &rect)
{
    if (WindowItem *item = m_items.value(id))
        item->setRect(rect);
}

void WallScene::showBand(const QRect &rect)
{
    m_band->setRect(rect);
    m_band->show();
}

void WallScene::hideBand()
{
    m_band->hide();
}
