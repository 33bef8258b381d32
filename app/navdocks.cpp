#include "navdocks.h"

#include "mainmenus.h"

#include <bilingual.h>
#include <devicedata.h>
#include <form_title.h>
#include <mynavtree.h>

#include <QCursor>
#include <QDockWidget>
#include <QFont>
#include <QMainWindow>
#include <QMenu>
#include <QVector>

#include <utility>

namespace {

constexpr int SourceTreeKind = 8;
constexpr int WinTreeKind = 9;

MyNavTree *newTree(const char *name, QAbstractItemView::DragDropMode mode)
{
    auto *tree = new MyNavTree;
    tree->setObjectName(QLatin1String(name));
    tree->setDragDropMode(mode);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setContextMenuPolicy(Qt::CustomContextMenu);
    return tree;
}

} // namespace

NavDocks::NavDocks(QMainWindow *window, const MainMenus *menus)
    : sourceTree(newTree("sourceTree", QAbstractItemView::DragOnly))
    , winTree(newTree("winTree", QAbstractItemView::DropOnly))
    , m_window(window)
    , m_menus(menus)
{
    m_sourceDock = addDock("sourceDock", sourceTree, Qt::LeftDockWidgetArea);
    titleBar = new Form_title(m_sourceDock);
    m_sourceDock->setTitleBarWidget(titleBar);
    m_winDock = addDock("winDock", winTree, Qt::RightDockWidgetArea);
    QObject::connect(sourceTree, &MyNavTree::customContextMenuRequested, window,
                     [this](const QPoint &pos) { sourceMenuRequested(pos); });
    QObject::connect(winTree, &MyNavTree::customContextMenuRequested, window,
                     [this](const QPoint &pos) { winMenuRequested(pos); });
}

QDockWidget *NavDocks::addDock(const char *name, MyNavTree *tree, int area)
{
    auto *dock = new QDockWidget(m_window);
    dock->setObjectName(QLatin1String(name));
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    dock->setWidget(tree);
    m_window->addDockWidget(Qt::DockWidgetArea(area), dock);
    return dock;
}

void NavDocks::setLanguage(bool english)
{
    Bilingual text(english);
    titleBar->setLanguage(english);
    const QString source = text("Source", "信号源");
    sourceTree->setTitle(source, SourceTreeKind);
    m_sourceDock->setWindowTitle(source);
    const QString wins = text("Win", "窗口");
    winTree->setTitle(wins, WinTreeKind);
    m_winDock->setWindowTitle(wins);
}

void NavDocks::setEnabled(bool enabled)
{
    m_sourceDock->setEnabled(enabled);
    m_winDock->setEnabled(enabled);
}

void NavDocks::showSources(const DeviceData &record)
{
    const QList<int> ids = record.channelList();
    sourceTree->addValue(record.channelLabels(ids, record.channelSignalList()), ids,
                         record.channelStateList());
}

void NavDocks::setWinLayers(const QList<int> &layers)
{
    m_winLayers = layers;
    refreshWinTree();
}

void NavDocks::setWinSignals(const QMap<int, QString> &names)
{
    m_winSignals = names;
}

void NavDocks::setWinSignal(int win, const QString &name)
{
    m_winSignals.insert(win, name);
    refreshWinTree();
}

void NavDocks::setWinBackups(const QMap<int, QString> &notes)
{
    m_winBackups = notes;
    refreshWinTree();
}

void NavDocks::refreshWinTree()
{
    QStringList names;
    QList<int> ids;
    for (int win : std::as_const(m_winLayers)) {
        names << QStringLiteral("Win%1 [%2]%3")
                     .arg(win + 1)
                     .arg(m_winSignals.value(win), m_winBackups.contains(win) ? QStringLiteral(" B") : QString());
        ids << win;
    }
    winTree->addValue(names, ids, QVector<int>(ids.size(), WinTreeKind).toList());
    QAbstractItemModel *rows = winTree->model();
    for (int row = 0; row < ids.size(); ++row) {
        const auto note = m_winBackups.constFind(ids.at(row));
        if (note == m_winBackups.constEnd())
            continue;
        QFont italic = winTree->font();
        italic.setItalic(true);
        rows->setData(rows->index(row, 0), italic, Qt::FontRole);
        rows->setData(rows->index(row, 0), *note, Qt::ToolTipRole);
    }
}

void NavDocks::sourceMenuRequested(const QPoint &pos)
{
    m_curSource = sourceTree->GetNowItemIndex(sourceTree->indexAt(pos));
    if (m_curSource == -1)
        return;
    (m_curSource < DeviceData::InCardEntries ? m_menus->sourceCardMenu : m_menus->sourceMenu)
        ->popup(QCursor::pos());
}

void NavDocks::winMenuRequested(const QPoint &pos)
{
    m_curWin = winTree->GetNowItemIndex(winTree->indexAt(pos));
    if (m_curWin != -1)
        m_menus->winMenu->popup(QCursor::pos());
}
