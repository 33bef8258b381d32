#include "dialog_comset.h"
#include "ui_dialog_comset.h"

#include <bilingual.h>
#include <singleton_serialport.h>

namespace {

// Entries of the link settings list.
enum Setting { LinkType, Ip, Port, Mask, Gateway, Mac, PortName };

constexpr int ComPorts = 20;
constexpr int Octets = 4;
constexpr char Marker = 0x01; // leads each group of the network payload

const QChar MacSeparator = QLatin1Char('-');

int hexValue(const QString &text)
{
    return text.toInt(nullptr, 16); // 0 for a text that is not hexadecimal
}

void appendGroup(QByteArray &payload, const QList<int> &values)
{
    payload += Marker;
    for (int value : values)
        payload += char(value);
}

QList<int> addressBytes(const QString &address)
{
    const QStringList parts = address.split(QLatin1Char('.'));
    QList<int> bytes;
    for (int i = 0; i < Octets; ++i)
        bytes << parts.value(i).toInt(); // an empty part reads as 0
    return bytes;
}

} // namespace

Dialog_ComSet::Dialog_ComSet(Singleton_SerialPort *link, bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog_ComSet>())
    , m_link(link)
{
    ui->setupUi(this);
    setLanguage(isEnglish);

    ui->comboBox_port->clear();
    for (int n = 1; n <= ComPorts; ++n)
        ui->comboBox_port->addItem(QStringLiteral("COM%1").arg(n));

    const QStringList settings = m_link->linkSettings();
    if (settings.value(LinkType) == QLatin1String("0"))
        ui->radioButton->setChecked(true);
    else
        ui->radioButton_2->setChecked(true);
    showNetSettings(settings);
    selectPort(settings.value(PortName));
    ui->check_reconnect->setChecked(m_link->reconnects());
    connect(ui->check_reconnect, &QCheckBox::toggled, this, [this](bool on) { m_link->setReconnects(on); });
}

Dialog_ComSet::~Dialog_ComSet() = default;

void Dialog_ComSet::setLanguage(bool isEnglish)
{
    const Bilingual text(isEnglish);
    setWindowTitle(text("Communication Setings", "连接设置"));
    ui->groupBox_connect->setTitle(text("Communication mode ", "通讯方式"));
    ui->radioButton->setText(text("NetWork", "网络"));
    ui->radioButton_2->setText(text("Serial", "串口"));
    ui->check_reconnect->setText(text("Reconnect by itself", "断线自动重连"));
    ui->groupBox_net->setTitle(text("NetWork", "网络"));
    ui->lab_ip->setText(text("IP", "网络地址"));
    ui->lab_port->setText(text("Port", "端口"));
    ui->lab_mask->setText(text("Subnet mask", "子网掩码"));
    ui->lab_gateway->setText(text("Gatemask", "网关"));
    ui->lab_mac->setText(text("MAC", "地址"));
    ui->groupBox_port->setTitle(text("Serial", "串口"));
    ui->lab_portName->setText(QStringLiteral("COM"));
    ui->but_getPort->setText(text("Get COM Ports", "获取COM口"));
    ui->but_set_port->setText(text("Setting", "设置"));
    ui->but_get->setText(text("Get from device", "从设备获取"));
    ui->but_set_device->setText(text("Set to Device", "设置到设备"));
    ui->but_set_net->setText(text("Setting", "设置"));
}

void Dialog_ComSet::initPage()
{
    showNetSettings(m_link->linkSettings());
}

void Dialog_ComSet::showNetSettings(const QStringList &settings)
{
    ui->ip_edit->setText(settings.value(Ip));
    ui->spinBox_port->setValue(settings.value(Port).toInt());
    ui->mask_edit->setText(settings.value(Mask));
    ui->gateway_edit->setText(settings.value(Gateway));
    const QStringList mac = settings.value(Mac).split(MacSeparator);
    const QList<QLineEdit *> edits = macEdits();
    for (int i = 0; i < edits.size(); ++i)
        edits.at(i)->setText(mac.value(i)); // a missing part leaves the field empty
}

// Selects a port, adding it to the list first when it is not there, so that
// ports not named COM1 to COM20 can be chosen too.
void Dialog_ComSet::selectPort(const QString &name)
{
    if (name.isEmpty())
        return;
    int index = ui->comboBox_port->findText(name);
    if (index < 0) {
        ui->comboBox_port->addItem(name);
        index = ui->comboBox_port->count() - 1;
    }
    ui->comboBox_port->setCurrentIndex(index);
}

QString Dialog_ComSet::linkTypeText() const
{
    return ui->radioButton_2->isChecked() ? QStringLiteral("1") : QStringLiteral("0");
}

void Dialog_ComSet::on_but_set_port_clicked()
{
    m_link->setPortSettings({linkTypeText(), ui->comboBox_port->currentText()});
}

void Dialog_ComSet::on_but_getPort_clicked()
{
    ui->com_edit->clear();
    const QStringList names = Singleton_SerialPort::openablePortNames();
    for (const QString &name : names) {
        ui->com_edit->appendPlainText(name);
        if (ui->comboBox_port->findText(name) < 0)
            ui->comboBox_port->addItem(name);
    }
    if (!names.isEmpty())
        selectPort(names.first());
}

void Dialog_ComSet::on_but_set_net_clicked()
{
    m_link->setNetSettings({linkTypeText(), ui->ip_edit->text(),
                            QString::number(ui->spinBox_port->value()), ui->mask_edit->text(),
                            ui->gateway_edit->text(), macText()});
}

void Dialog_ComSet::on_but_get_clicked()
{
    m_link->send(LinkRequest::readNetwork());
}

void Dialog_ComSet::on_but_set_device_clicked()
{
    m_link->send(LinkRequest::writeNetwork(networkPayload()));
}

QList<QLineEdit *> Dialog_ComSet::macEdits() const
{
    return {ui->lineEdit_mac1, ui->lineEdit_mac2, ui->lineEdit_mac3};
}

QString Dialog_ComSet::macText() const
{
    QStringList parts;
    for (const QLineEdit *edit : macEdits())
        parts << QStringLiteral("%1").arg(hexValue(edit->text()), 2, 16, QLatin1Char('0')).toUpper();
    return parts.join(MacSeparator);
}

// 01 IP, 01 mask, 01 gateway, 01 and the last three MAC bytes.
QByteArray Dialog_ComSet::networkPayload() const
{
    QByteArray payload;
    appendGroup(payload, addressBytes(ui->ip_edit->text()));
    appendGroup(payload, addressBytes(ui->mask_edit->text()));
    appendGroup(payload, addressBytes(ui->gateway_edit->text()));
    QList<int> mac;
    for (const QLineEdit *edit : macEdits())
        mac << hexValue(edit->text());
    appendGroup(payload, mac);
    return payload;
}
