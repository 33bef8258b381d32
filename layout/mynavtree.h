#ifndef MYNAVTREE_H
#define MYNAVTREE_H

#include <QHash>
#include <QIcon>
#include <QTreeView>

class QMimeData;
class QStandardItem;
class QStandardItemModel;

// A flat list of input sources or of windows, each item with a name, an id
// (channel code or window number) and a kind that chooses its icon:
// 0 to 3 a one-channel card's signal (SDI, DVI, VGA, CVBS), 4 to 7 a channel
// of a two-channel card, the same plus 10 when it has no signal (greyed),
// 9 a window.
//
// Sources can be dragged, carrying their channel code (ChannelMime), and
// renamed in place; a source dropped on a window emits chargeSingle().
class MyNavTree : public QTreeView
{
    Q_OBJECT

public:
    explicit MyNavTree(QWidget *parent = nullptr);

    // The header; tree is 8 for the source list and 9 for the window list
    // and chooses the header icon.
    void setTitle(const QString &title, int tree);
    // Replaces all items; the lists run in parallel.
    void addValue(const QStringList &names, const QList<int> &ids, const QList<int> &kinds);
    // The id of the item at index, -1 for none.
    int GetNowItemIndex(const QModelIndex &index) const;

    // What a drag of the item carries, owned by the caller; nullptr for
    // items that cannot be dragged.
    QMimeData *channelMimeData(const QModelIndex &index) const;

signals:
    void chargedata(int id, const QString &name);
    void chargeSingle(int window, int code);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QStandardItem *makeItem(const QString &name, int id, int kind);
    // Drawn once per kind: the list is rebuilt at every change of preset,
    // and a new pixmap each time would fill the icon cache with copies.
    QIcon icon(int kind);
    void selectId(int id);
    void itemRenamed(QStandardItem *item);
    QModelIndex dropTarget(const QDropEvent *event) const;

    QStandardItemModel *m_model;
    QHash<int, QIcon> m_icons;
};

#endif // MYNAVTREE_H
