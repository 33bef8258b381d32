#include "sequencesdock.h"
#include "ui_sequencesdock.h"

#include <sequencedeck.h>

namespace {

constexpr int TickMs = 500;

} // namespace

SequencesDock::SequencesDock(SequenceDeck *deck, QWidget *parent)
    : QDockWidget(parent)
    , m_deck(deck)
    , ui(new Ui::SequencesDock)
{
    setObjectName(QStringLiteral("sequencesDock"));
    setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetClosable);
    auto *body = new QWidget(this);
    ui->setupUi(body);
    setWidget(body);
    connect(ui->start, &QPushButton::clicked, this, [this] { act(&SequenceDeck::start); });
    connect(ui->pause, &QPushButton::clicked, this, [this] { act(&SequenceDeck::pause); });
    connect(ui->resume, &QPushButton::clicked, this, [this] { act(&SequenceDeck::resume); });
    connect(ui->stop, &QPushButton::clicked, this, [this] { act(&SequenceDeck::stop); });
    connect(ui->list, &QTreeWidget::currentItemChanged, this, &SequencesDock::refresh);
    connect(deck, &SequenceDeck::changed, this, &SequencesDock::refresh);
    connect(&m_tick, &QTimer::timeout, this, &SequencesDock::refresh);
    setEnglish(false);
}

SequencesDock::~SequencesDock()
{
    delete ui;
}

void SequencesDock::setEnglish(bool english)
{
    m_text.setEnglish(english);
    setWindowTitle(m_text("Sequences", "序列"));
    ui->list->setHeaderLabels({m_text("Sequence", "序列"), m_text("Step", "步骤"), m_text("Left", "剩余")});
    ui->start->setText(m_text("Start", "开始"));
    ui->pause->setText(m_text("Pause", "暂停"));
    ui->resume->setText(m_text("Resume", "继续"));
    ui->stop->setText(m_text("Stop", "停止"));
    refresh();
}

QString SequencesDock::chosen() const
{
    const QTreeWidgetItem *item = ui->list->currentItem();
    return item ? item->text(0) : QString();
}

void SequencesDock::act(QString (SequenceDeck::*command)(const QString &))
{
    const QString name = chosen();
    if (name.isEmpty())
        return;
    const QString why = (m_deck->*command)(name);
    if (!why.isEmpty())
        emit said(name + QStringLiteral(": ") + why, true);
}

// Rows are kept while the list stays the same, so the choice stays too.
void SequencesDock::refresh()
{
    const QList<SequenceDeck::Status> statuses = m_deck->statuses();
    while (ui->list->topLevelItemCount() > statuses.size())
        delete ui->list->takeTopLevelItem(ui->list->topLevelItemCount() - 1);
    while (ui->list->topLevelItemCount() < statuses.size())
        ui->list->addTopLevelItem(new QTreeWidgetItem);
    bool playing = false;
    for (int i = 0; i < statuses.size(); ++i) {
        const SequenceDeck::Status &status = statuses.at(i);
        QTreeWidgetItem *item = ui->list->topLevelItem(i);
        item->setText(0, status.name);
        const bool stopped = status.state == SequencePlayer::State::Stopped;
        const QString step = QStringLiteral("%1/%2").arg(status.step + 1).arg(status.stepCount);
        item->setText(1, stopped ? m_text("stopped", "已停止")
                                 : status.state == SequencePlayer::State::Paused
                                     ? step + m_text(" paused", " 暂停")
                                     : step);
        item->setText(2, stopped ? QString() : QStringLiteral("%1 s").arg(double(status.timeLeftMs) / 1000, 0, 'f', 0));
        playing = playing || status.state == SequencePlayer::State::Playing;
    }
    if (playing && !m_tick.isActive())
        m_tick.start(TickMs);
    else if (!playing)
        m_tick.stop();
    const std::optional<SequenceDeck::Status> current = m_deck->status(chosen());
    const SequencePlayer::State state = current ? current->state : SequencePlayer::State::Stopped;
    ui->start->setEnabled(current.has_value());
    ui->pause->setEnabled(state == SequencePlayer::State::Playing);
    ui->resume->setEnabled(state == SequencePlayer::State::Paused);
    ui->stop->setEnabled(state != SequencePlayer::State::Stopped);
}
