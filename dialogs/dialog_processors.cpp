#include "dialog_processors.h"
#include "ui_dialog_processors.h"

#include <buttonboxtexts.h>
#include <settingsfile.h>

#include <QComboBox>
#include <QHostAddress>
#include <QPushButton>

Dialog_Processors::Dialog_Processors(const QList<StationSettings::Processor> &processors, const QList<bool> &linked,
                                     bool english, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Processors>())
    , m_text(english)
    , m_processors(processors)
    , m_kept(processors.size())
{
    ui->setupUi(this);
    for (int i = 0; i < processors.size(); ++i)
        addRow(processors.at(i), linked.value(i));
    connect(ui->addButton, &QPushButton::clicked, this, [this] {
        const int row = ui->table->rowCount();
        addRow({StationSettings::defaultName(row), SettingsFile::defaultLinkSettings()}, false);
        ui->table->selectRow(row);
    });
    connect(ui->removeButton, &QPushButton::clicked, this, [this] {
        ui->table->removeRow(ui->table->rowCount() - 1);
        updateButtons();
    });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &Dialog_Processors::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &Dialog_Processors::reject);
    setTexts();
    updateButtons();
}

Dialog_Processors::~Dialog_Processors() = default;

void Dialog_Processors::setTexts()
{
    setWindowTitle(m_text("Processors", "处理器"));
    ButtonBoxTexts::apply(ui->buttonBox, m_text);
    ui->table->setHorizontalHeaderLabels({m_text("Name", "名称"), m_text("Link", "连接方式"),
                                          m_text("IP address", "IP地址"), m_text("Port", "端口"),
                                          m_text("Serial port", "串口")});
    ui->addButton->setText(m_text("Add", "添加"));
    ui->removeButton->setText(m_text("Remove Last", "删除最后一个"));
    ui->removeButton->setToolTip(m_text("Each processor's number names the folder of its files: they are removed "
                                        "from the end.",
                                        "处理器编号对应其文件夹，只能从最后一个开始删除。"));
}

void Dialog_Processors::addRow(const StationSettings::Processor &processor, bool linked)
{
    const int row = ui->table->rowCount();
    ui->table->insertRow(row);
    ui->table->setItem(row, Name, new QTableWidgetItem(processor.name));
    auto *type = new QComboBox;
    type->addItems({QStringLiteral("TCP"), m_text("Serial", "串口")});
    type->setCurrentIndex(processor.link.value(0) == QLatin1String("0") ? 0 : 1);
    type->setEnabled(!linked);
    ui->table->setCellWidget(row, Type, type);
    for (const auto &[column, key] : {std::pair{Address, 1}, std::pair{Port, 2}, std::pair{SerialPort, 6}}) {
        auto *item = new QTableWidgetItem(processor.link.value(key));
        if (linked)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        ui->table->setItem(row, column, item);
    }
    updateButtons();
}

void Dialog_Processors::updateButtons()
{
    const int rows = ui->table->rowCount();
    ui->addButton->setEnabled(rows < StationSettings::MaxProcessors);
    ui->removeButton->setEnabled(rows > 1);
}

QString Dialog_Processors::rowAt(int row, StationSettings::Processor *processor) const
{
    const auto text = [this, row](int column) { return ui->table->item(row, column)->text().trimmed(); };
    processor->name = text(Name);
    processor->link = row < m_kept ? m_processors.at(row).link : SettingsFile::defaultLinkSettings();
    const bool tcp = qobject_cast<QComboBox *>(ui->table->cellWidget(row, Type))->currentIndex() == 0;
    processor->link[0] = tcp ? QStringLiteral("0") : QStringLiteral("1");
    processor->link[1] = text(Address);
    processor->link[2] = text(Port);
    processor->link[6] = text(SerialPort);
    const QString which = m_text("Processor %1: ", "处理器%1：").arg(row + 1);
    if (processor->name.isEmpty() || processor->name.size() > StationSettings::MaxNameLength)
        return which + m_text("a name has 1 to 32 characters", "名称为1到32个字符");
    bool ok = false;
    const int port = processor->link[2].toInt(&ok);
    if (tcp && (QHostAddress(processor->link[1]).isNull() || !ok || port < 1 || port > 65535))
        return which + m_text("give an IP address and a port 1 to 65535", "请输入IP地址和1到65535的端口");
    if (!tcp && processor->link[6].isEmpty())
        return which + m_text("give a serial port", "请输入串口");
    return {};
}

void Dialog_Processors::accept()
{
    QList<StationSettings::Processor> processors;
    QStringList names;
    for (int row = 0; row < ui->table->rowCount(); ++row) {
        StationSettings::Processor processor;
        QString reason = rowAt(row, &processor);
        if (reason.isEmpty() && names.contains(processor.name, Qt::CaseInsensitive))
            reason = m_text("Processor %1: the name is taken", "处理器%1：名称已存在").arg(row + 1);
        if (!reason.isEmpty()) {
            ui->errorLabel->setText(reason);
            ui->table->selectRow(row);
            return;
        }
        names << processor.name;
        processors << processor;
    }
    m_processors = processors;
    QDialog::accept();
}
