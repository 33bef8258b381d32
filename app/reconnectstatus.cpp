#include "reconnectstatus.h"
#include "ui_reconnectstatus.h"

#include "reconnector.h"

ReconnectStatus::ReconnectStatus(Reconnector *reconnector, QWidget *parent)
    : QWidget(parent)
    , ui(std::make_unique<Ui::ReconnectStatus>())
    , m_reconnector(reconnector)
{
    ui->setupUi(this);
    connect(ui->stopButton, &QPushButton::clicked, reconnector, &Reconnector::stop);
    connect(reconnector, &Reconnector::changed, this, &ReconnectStatus::showState);
    showState();
}

ReconnectStatus::~ReconnectStatus() = default;

void ReconnectStatus::setEnglish(bool english)
{
    m_text.setEnglish(english);
    ui->stopButton->setText(m_text("Stop", "停止"));
    showState();
}

void ReconnectStatus::showState()
{
    setVisible(m_reconnector->isActive());
    const int attempt = m_reconnector->attempt();
    ui->label->setText(m_reconnector->isTrying()
                           ? m_text("Reconnecting (attempt %1)", "正在重新连接（第%1次）").arg(attempt)
                           : m_text("Reconnecting in %1 s (attempt %2)", "%1秒后重新连接（第%2次）")
                                 .arg(m_reconnector->secondsLeft())
                                 .arg(attempt));
}
