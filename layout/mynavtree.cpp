#include "mynavtree.h"

#include "channelmime.h"

#include <QDrag>
#include <QDropEvent>
#include <QPainter>
#include <QPainterPath>
#include <QStandardItemModel>

#include <algorithm>

namespace {

const int IdRole = Qt::UserRole + 1;
const int KindRole = Qt::UserRole + 2;

const int SourceTree = 8;
const int WindowKind = 9;
const int NoSignal = 10;

// Icons are drawn on a 32 x 32 grid.
const QRectF Badge(2, 4, 28, 24);

QColor kindColor(int kind)
{
    switch (kind) {
    case 0:
        return QColor(0, 150, 136);
    case 1:
        return QColor(63, 81, 181);
    case 2:
        return QColor(142, 68, 173);
    case 3:
        return QColor(230, 126, 34);
    case SourceTree:
        return QColor(80, 90, 100);
    case WindowKind:
        return QColor(85, 170, 255);
    default:
        return QColor(39, 174, 96);
    }
}

void paintBadge(QPainter &painter, const QColor &color, const QRectF &textArea, const QString &text)
{
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(Badge, 5, 5);
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(17);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(textArea, Qt::AlignCenter, text);
}

// A one-channel card: its signal's initial.
void paintSignal(QPainter &painter, const QColor &color, int signal)
{
    static const char *const initials[] = {"S", "D", "V", "C"};
    paintBadge(painter, color, Badge, QString::fromLatin1(initials[signal]));
}

// A channel of a two-channel card: its number 1 to 4, and the card's pair of
// channels with this one filled.
void paintChannel(QPainter &painter, const QColor &color, int channel)
{
    paintBadge(painter, color, Badge.adjusted(8, 0, 0, 0), QString::number(channel + 1));
    painter.setPen(QPen(Qt::white, 1.5));
    for (int i = 0; i < 2; ++i) {
        painter.setBrush(i == channel % 2 ? QBrush(Qt::white) : QBrush(Qt::NoBrush));
        painter.drawRect(QRectF(6, 9 + 9 * i, 6, 6));
    }
}

void paintWindow(QPainter &painter, const QColor &color)
{
    QPainterPath frame;
    frame.addRoundedRect(QRectF(3, 5, 26, 22), 3, 3);
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::white);
    painter.drawPath(frame);
    painter.setClipPath(frame);
    painter.setBrush(color);
    painter.drawRect(QRectF(3, 5, 26, 7));
    painter.setClipping(false);
    painter.setPen(QPen(color, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(frame);
}

// The source list: a signal entering a screen.
void paintSource(QPainter &painter, const QColor &color)
{
    painter.setPen(QPen(color, 2.5));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(QRectF(12, 6, 17, 20), 3, 3);
    painter.drawLine(QPointF(3, 16), QPointF(17, 16));
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPolygon(QPolygonF({QPointF(14, 10), QPointF(21, 16), QPointF(14, 22)}));
}

void paintKind(QPainter &painter, int kind)
{
    const int base = kind % NoSignal;
    const QColor color = kind >= NoSignal ? QColor(175, 175, 175) : kindColor(base);
    if (base < 4)
        paintSignal(painter, color, base);
    else if (base < SourceTree)
        paintChannel(painter, color, base - 4);
    else if (base == SourceTree)
        paintSource(painter, color);
    else
        paintWindow(painter, color);
}

QPixmap kindPixmap(int kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    paintKind(painter, kind);
    return pixmap;
}

QIcon kindIcon(int kind)
{
    QIcon icon;
    if (kind < 0 || kind >= 2 * NoSignal)
        return icon;
    for (const int size : {20, 40})
        icon.addPixmap(kindPixmap(kind, size));
    return icon;
}

} // namespace

MyNavTree::MyNavTree(QWidget *parent)
    : QTreeView(parent)
    , m_model(new QStandardItemModel(this))
{
    setModel(m_model);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setAlternatingRowColors(true);
    setIconSize(QSize(20, 20));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_model, &QStandardItemModel::itemChanged, this, &MyNavTree::itemRenamed);
}

void MyNavTree::setTitle(const QString &title, int tree)
{
    m_model->setHorizontalHeaderItem(0, new QStandardItem(icon(tree), title));
}

void MyNavTree::addValue(const QStringList &names, const QList<int> &ids, const QList<int> &kinds)
{
    const int current = GetNowItemIndex(currentIndex());
    m_model->removeRows(0, m_model->rowCount());
    const int n = std::min({names.size(), ids.size(), kinds.size()});
    for (int i = 0; i < n; ++i)
        m_model->appendRow(makeItem(names.at(i), ids.at(i), kinds.at(i)));
    selectId(current);
}

QIcon MyNavTree::icon(int kind)
{
    auto cached = m_icons.constFind(kind);
    if (cached == m_icons.constEnd())
        cached = m_icons.insert(kind, kindIcon(kind));
    return *cached;
}

QStandardItem *MyNavTree::makeItem(const QString &name, int id, int kind)
{
    auto *item = new QStandardItem(icon(kind), name);
    item->setToolTip(name);
    item->setData(id, IdRole);
    item->setData(kind, KindRole);
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (kind == WindowKind)
        flags |= Qt::ItemIsDropEnabled;
    else
        flags |= Qt::ItemIsDragEnabled | Qt::ItemIsEditable;
    item->setFlags(flags);
    if (kind >= NoSignal)
        item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
    return item;
}

// Keeps the current item across a refresh of the list.
void MyNavTree::selectId(int id)
{
    if (id < 0)
        return;
    for (int row = 0; row < m_model->rowCount(); ++row) {
        const QModelIndex index = m_model->index(row, 0);
        if (GetNowItemIndex(index) == id) {
            setCurrentIndex(index);
            return;
        }
    }
}

int MyNavTree::GetNowItemIndex(const QModelIndex &index) const
{
    return index.isValid() ? index.data(IdRole).toInt() : -1;
}

// Only the text of a source can change after the list is built: a rename.
// Told once the editor has closed, as the receiver may rebuild the list and
// so take the editor's item from under the view.
void MyNavTree::itemRenamed(QStandardItem *item)
{
    const int id = item->data(IdRole).toInt();
    const QString name = item->text();
    QMetaObject::invokeMethod(this, [this, id, name] { emit chargedata(id, name); }, Qt::QueuedConnection);
}

QMimeData *MyNavTree::channelMimeData(const QModelIndex &index) const
{
    if (!(index.flags() & Qt::ItemIsDragEnabled))
        return nullptr;
    auto *mime = new QMimeData;
    ChannelMime::setChannel(mime, GetNowItemIndex(index));
    mime->setText(index.data().toString());
    return mime;
}

void MyNavTree::startDrag(Qt::DropActions)
{
    const QModelIndex index = currentIndex();
    QMimeData *mime = channelMimeData(index);
    if (!mime)
        return;
    auto *drag = new QDrag(this);
    drag->setMimeData(mime);
    drag->setPixmap(kindPixmap(index.data(KindRole).toInt(), 32));
    drag->exec(Qt::CopyAction, Qt::CopyAction);
}

// The window item under a dragged channel, invalid when there is none.
QModelIndex MyNavTree::dropTarget(const QDropEvent *event) const
{
    if (ChannelMime::channel(event->mimeData()) < 0)
        return QModelIndex();
    const QModelIndex index = indexAt(ChannelMime::dropPoint(event));
    return index.isValid() && index.data(KindRole).toInt() == WindowKind ? index : QModelIndex();
}

void MyNavTree::dragEnterEvent(QDragEnterEvent *event)
{
    if (ChannelMime::channel(event->mimeData()) >= 0)
        event->acceptProposedAction();
    else
        event->ignore();
}

void MyNavTree::dragMoveEvent(QDragMoveEvent *event)
{
    const QModelIndex target = dropTarget(event);
    if (!target.isValid()) {
        event->ignore();
        return;
    }
    setCurrentIndex(target);
    event->acceptProposedAction();
}

void MyNavTree::dropEvent(QDropEvent *event)
{
    const QModelIndex target = dropTarget(event);
    if (!target.isValid()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit chargeSingle(GetNowItemIndex(target), ChannelMime::channel(event->mimeData()));
}
