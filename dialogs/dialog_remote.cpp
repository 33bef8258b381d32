#include "dialog_remote.h"
#include "ui_dialog_remote.h"

#include <buttonboxtexts.h>
#include <pinhash.h>

#include <QNetworkInterface>
#include <QPushButton>

Dialog_Remote::Dialog_Remote(const RemoteSettings &settings, bool english, bool pageBuilt, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_Remote)
    , m_text(english)
    , m_settings(settings)
    , m_pageBuilt(pageBuilt)
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
    ui->allowLabel->setText(t("Senders allowed (OSC, page)", "允许的发送方（OSC、页面）"));
    ui->tokenEdit->setPlaceholderText(t("needed beyond 127.0.0.1", "监听 127.0.0.1 以外时必填"));
    ui->allowEdit->setPlaceholderText(t("addresses, comma-separated", "地址，以逗号分隔"));
    ui->pageBox->setText(t("Tablet page (show mode in a browser)", "平板页面（在浏览器中演出控制）"));
    ui->httpPortLabel->setText(t("Page port (HTTP)", "页面端口（HTTP）"));
    ui->pinLabel->setText(t("PIN", "PIN 码"));
    ui->pinEdit->setPlaceholderText(m_settings.pinHash.isEmpty() ? t("4 to 12 digits", "4 至 12 位数字")
                                                                  : t("set; type to change", "已设置；输入以更改"));
    ui->pageNoteLabel->setText(
        m_pageBuilt ? t("Browsers on this computer need no PIN; the senders allowed ask it once.",
                        "本机浏览器无需 PIN 码；允许的发送方首次使用时须输入。")
                    : t("The tablet page needs Qt's HTTP server, which this build does not have.",
                        "平板页面需要 Qt 的 HTTP 服务器，此版本没有。"));
    ui->noteLabel->setText(t("On 127.0.0.1 only programs on this computer can connect. Beyond it, "
                             "WebSocket clients must give the token and OSC is taken only from the "
                             "senders listed.",
                             "监听 127.0.0.1 时只有本机程序可以连接。监听其他地址时，WebSocket "
                             "客户端须提供令牌，OSC 只接受所列发送方。"));
    ButtonBoxTexts::apply(ui->buttonBox, t);
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
    ui->pageBox->setChecked(settings.page && m_pageBuilt);
    ui->httpPortBox->setValue(settings.httpPort);
    for (QWidget *widget : {static_cast<QWidget *>(ui->pageBox), static_cast<QWidget *>(ui->httpPortBox),
                            static_cast<QWidget *>(ui->pinEdit)})
        widget->setEnabled(m_pageBuilt);
}

// The PIN typed replaces the one kept; left empty, the kept one stays.
void Dialog_Remote::accept()
{
    RemoteSettings settings = m_settings;
    settings.enabled = ui->enabledBox->isChecked();
    settings.oscPort = quint16(ui->oscPortBox->value());
    settings.wsPort = quint16(ui->wsPortBox->value());
    settings.token = ui->tokenEdit->text().trimmed();
    settings.page = ui->pageBox->isChecked();
    settings.httpPort = quint16(ui->httpPortBox->value());
    const bool listenOk = settings.listen.setAddress(ui->listenBox->currentText().trimmed());
    bool allowOk = false;
    settings.oscAllow = RemoteSettings::parseAllow(ui->allowEdit->text(), &allowOk);
    const QString pin = ui->pinEdit->text();
    const QString refused = problem(settings, listenOk, allowOk);
    if (!refused.isEmpty()) {
        ui->problemLabel->setText(refused);
        return;
    }
    if (!pin.isEmpty())
        settings.pinHash = PinHash::make(pin);
    if (settings.page && settings.beyondLoopback() && settings.pinHash.isEmpty()) {
        ui->problemLabel->setText(m_text("Beyond 127.0.0.1 the tablet page needs a PIN.", "监听 127.0.0.1 以外的地址时平板页面须设置 PIN 码。"));
        return;
    }
    m_settings = settings;
    QDialog::accept();
}

QString Dialog_Remote::problem(const RemoteSettings &settings, bool listenOk, bool allowOk) const
{
    const Bilingual &t = m_text;
    const QString pin = ui->pinEdit->text();
    if (!listenOk)
        return t("The address to listen on is not an address.", "监听地址无效。");
    if (!allowOk)
        return t("The OSC senders must be addresses, comma-separated.", "OSC 发送方须为以逗号分隔的地址。");
    if (settings.oscPort == settings.wsPort)
        return t("The two ports must differ.", "两个端口不能相同。");
    if (settings.page && (settings.httpPort == settings.oscPort || settings.httpPort == settings.wsPort))
        return t("The page's port must differ from the other two.", "页面端口不能与其他两个端口相同。");
    if (settings.beyondLoopback() && settings.token.isEmpty())
        return t("Beyond 127.0.0.1 a token is needed.", "监听 127.0.0.1 以外的地址时须设置令牌。");
    if (!pin.isEmpty() && !PinHash::isPin(pin))
        return t("The PIN is 4 to 12 digits.", "PIN 码为 4 至 12 位数字。");
    return QString();
}
