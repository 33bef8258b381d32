#include "processorsdock.h"

#include "connectionflow.h"
#include "mainwindow.h"
#include "onairmodel.h"
#include "presetlabel.h"

#include <singleton_serialport.h>

#include <QListWidget>
#include <QMenu>
#include <QPainter>

namespace {

using State = LinkStateModel::State;

QIcon lamp(State state)
{
    QColor colour(Qt::gray);
    if (state == State::Ready)
        colour = QColor(0x2e, 0xa0, 0x43);
    else if (state == State::Lost)
        colour = QColor(0xd0, 0x30, 0x30);
    else if (state != State::Closed)
        colour = QColor(0xe0, 0xa0, 0x20);
    QPixmap pixmap(14, 14);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(colour.darker());
    painter.drawEllipse(1, 1, 12, 12);
    return QIcon(pixmap);
}

} // namespace

ProcessorsDock::ProcessorsDock(QWidget *parent)
    : QDockWidget(parent)
    , m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("processorsDock"));
    setFeatures(QDockWidget::DockWidgetMovable);
    setWidget(m_list);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            emit chosen(row);
    });
    connect(m_list, &QListWidget::customContextMenuRequested, this, &ProcessorsDock::openMenu);
    setEnglish(false);
}

void ProcessorsDock::setProcessors(const QList<MainWindow *> &windows, const QStringList &names)
{
    const QList<MainWindow *> before = std::exchange(m_windows, windows);
    m_names = names;
    for (MainWindow *window : windows) {
        if (!before.contains(window))
            watch(window);
    }
    refresh();
}

void ProcessorsDock::watch(MainWindow *window)
{
    connect(window->link()->state(), &LinkStateModel::stateChanged, this, &ProcessorsDock::refresh);
    connect(window->onAir(), &OnAirModel::changed, this, &ProcessorsDock::refresh);
    connect(window, &QObject::destroyed, this, [this, window] { m_windows.removeAll(window); });
}

void ProcessorsDock::setCurrent(int index)
{
    m_list->setCurrentRow(index);
}

void ProcessorsDock::setEnglish(bool english)
{
    m_text.setEnglish(english);
    setWindowTitle(m_text("Processors", "处理器"));
    refresh();
}

void ProcessorsDock::refresh()
{
    const int current = m_list->currentRow();
    while (m_list->count() > m_windows.size())
        delete m_list->takeItem(m_list->count() - 1);
    while (m_list->count() < m_windows.size())
        m_list->addItem(new QListWidgetItem);
    for (int i = 0; i < m_windows.size(); ++i) {
        const MainWindow *window = m_windows.at(i);
        QListWidgetItem *item = m_list->item(i);
        item->setIcon(lamp(window->link()->state()->state()));
        item->setText(m_names.value(i) + QLatin1Char('\n') + stateText(window));
    }
    if (current < 0 && !m_windows.isEmpty())
        m_list->setCurrentRow(0);
}

QString ProcessorsDock::stateText(const MainWindow *window) const
{
    QString link;
    switch (window->link()->state()->state()) {
    case State::Closed:
        link = m_text("Not linked", "未连接");
        break;
    case State::Connecting:
        link = m_text("Connecting", "连接中");
        break;
    case State::Reading:
        link = m_text("Reading", "读取中");
        break;
    case State::Ready:
        link = m_text("Linked", "已连接");
        break;
    case State::Lost:
        link = m_text("Link lost", "连接丢失");
        break;
    case State::Reconnecting:
        link = m_text("Reconnecting", "重新连接中");
        break;
    }
    const int onAir = window->onAir()->onAir();
    if (onAir < 0)
        return link;
    return link + QStringLiteral(" · ") + m_text("On air: %1", "播出：%1").arg(presetLabel(window->link()->dm_data, onAir));
}

void ProcessorsDock::openMenu(const QPoint &at)
{
    const int row = m_list->row(m_list->itemAt(at));
    if (row < 0 || row >= m_windows.size())
        return;
    MainWindow *window = m_windows.at(row);
    QMenu menu;
    const bool open = window->link()->state()->state() != State::Closed;
    QAction *toggle = menu.addAction(open ? m_text("Disconnect this one", "断开此处理器")
                                          : m_text("Connect this one", "连接此处理器"));
    if (menu.exec(m_list->viewport()->mapToGlobal(at)) == toggle)
        window->connection()->toggle();
}
