#include "dialog_remote.h"
#include "ui_dialog_remote.h"

#include <QNetworkInterface>
#include <QPushButton>

Dialog_Remote::Dialog_Remote(const RemoteSettings &settings, bool english, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_Remote)
    , m_text(english)
    , m_settings(settings)
{
    ui->setupUi(this);
    setTexts();
    fill(settings);
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &Dialog_Remote::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

Dialog_Remote::~Dialog_Remote() = default;

void Dialog_Remote::setTexts()
{
    const Bilingual &t = m_text;
    setWindowTitle(t("Remote Control", "远程控制"));
    ui->enabledBox->setText(t("Serve remote clients (OSC and WebSocket)", "允许远程客户端控制（OSC 与 WebSocket）"));
    ui->listenLabel->setText(t("Listen on", "监听地址"));
    ui->oscPortLabel->setText(t("OSC port (UDP)", "OSC 端口（UDP）"));
    ui->wsPortLabel->setText(t("WebSocket port", "WebSocket 端口"));
    ui->tokenLabel->setText(t("Token", "令牌"));
    ui->allowLabel->setText(t("OSC senders allowed", "允许的 OSC 发送方"));
    ui->tokenEdit->setPlaceholderText(t("needed beyond 127.0.0.1", "监听 127.0.0.1 以外时必填"));
    ui->allowEdit->setPlaceholderText(t("addresses, comma-separated", "地址，以逗号分隔"));
    ui->noteLabel->setText(t("On 127.0.0.1 only programs on this computer can connect. Beyond it, "
                             "WebSocket clients must give the token and OSC is taken only from the "
                             "senders listed.",
                             "监听 127.0.0.1 时只有本机程序可以连接。监听其他地址时，WebSocket "
                             "客户端须提供令牌，OSC 只接受所列发送方。"));
    ui->buttonBox->button(QDialogButtonBox::Ok)->setText(t("OK", "确定"));
    ui->buttonBox->button(QDialogButtonBox::Cancel)->setText(t("Cancel", "取消"));
}

// The loopback and every address of this machine's interfaces are offered.
void Dialog_Remote::fill(const RemoteSettings &settings)
{
    ui->enabledBox->setChecked(settings.enabled);
    QStringList addresses{QStringLiteral("127.0.0.1"), QStringLiteral("0.0.0.0")};
    const QList<QHostAddress> own = QNetworkInterface::allAddresses();
    for (const QHostAddress &address : own) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !addresses.contains(address.toString()))
            addresses << address.toString();
    }
    ui->listenBox->addItems(addresses);
    ui->listenBox->setCurrentText(settings.listen.toString());
    ui->oscPortBox->setValue(settings.oscPort);
    ui->wsPortBox->setValue(settings.wsPort);
    ui->tokenEdit->setText(settings.token);
    ui->allowEdit->setText(RemoteSettings::allowText(settings.oscAllow));
}

void Dialog_Remote::accept()
{
    const Bilingual &t = m_text;
    RemoteSettings settings;
    settings.enabled = ui->enabledBox->isChecked();
    settings.oscPort = quint16(ui->oscPortBox->value());
    settings.wsPort = quint16(ui->wsPortBox->value());
    settings.token = ui->tokenEdit->text().trimmed();
    bool ok = settings.listen.setAddress(ui->listenBox->currentText().trimmed());
    if (!ok) {
        ui->problemLabel->setText(t("The address to listen on is not an address.", "监听地址无效。"));
        return;
    }
    settings.oscAllow = RemoteSettings::parseAllow(ui->allowEdit->text(), &ok);
    if (!ok) {
        ui->problemLabel->setText(t("The OSC senders must be addresses, comma-separated.", "OSC 发送方须为以逗号分隔的地址。"));
        return;
    }
    if (settings.oscPort == settings.wsPort) {
        ui->problemLabel->setText(t("The two ports must differ.", "两个端口不能相同。"));
        return;
    }
    if (settings.beyondLoopback() && settings.token.isEmpty()) {
        ui->problemLabel->setText(t("Beyond 127.0.0.1 a token is needed.", "监听 127.0.0.1 以外的地址时须设置令牌。"));
        return;
    }
    m_settings = settings;
    QDialog::accept();
}
