#include "dialog_backups.h"
#include "ui_dialog_backups.h"

#include <buttonboxtexts.h>
#include <errorbanner.h>

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>

#include <algorithm>

namespace {

constexpr int NoInput = -1;

template<typename Widget>
Widget *cell(const QTableWidget *table, int row, int column)
{
    return qobject_cast<Widget *>(table->cellWidget(row, column));
}

QString inputText(int code, const QString &name)
{
    return name.isEmpty() ? QString::number(code) : QStringLiteral("%1 %2").arg(code).arg(name);
}

} // namespace

Dialog_Backups::Dialog_Backups(const QList<BackupTable::Entry> &entries, const QStringList &processorNames,
                               const QList<QList<Input>> &inputs, bool english, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Backups>())
    , m_text(english)
    , m_inputs(inputs)
    , m_entries(entries)
{
    ui->setupUi(this);
    m_banner = new ErrorBanner(ui->navLabel, {}, this);
    for (int i = 0; i < processorNames.size(); ++i)
        ui->processorBox->addItem(QStringLiteral("%1 %2").arg(i + 1).arg(processorNames.at(i)));
    connect(ui->processorBox, qOverload<int>(&QComboBox::currentIndexChanged), this, [this](int index) {
        storeTable();
        showProcessor(index);
    });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &Dialog_Backups::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &Dialog_Backups::reject);
    showProcessor(ui->processorBox->currentIndex());
    setTexts();
}

Dialog_Backups::~Dialog_Backups() = default;

void Dialog_Backups::setEnglish(bool english)
{
    m_text.setEnglish(english);
    setTexts();
}

void Dialog_Backups::setTexts()
{
    setWindowTitle(m_text("Backup sources", "备用信号源"));
    ButtonBoxTexts::apply(ui->buttonBox, m_text);
    ui->processorLabel->setText(m_text("Processor", "处理器"));
    ui->inputTable->setHorizontalHeaderLabels({m_text("Input", "输入"), m_text("Backup 1", "备用1"),
                                               m_text("Backup 2", "备用2"), m_text("Backup 3", "备用3"),
                                               m_text("Return", "恢复"), m_text("Stable for (s)", "稳定（秒）")});
    for (int row = 0; row < ui->inputTable->rowCount(); ++row) {
        for (int column = FirstBackup; column < ReturnColumn; ++column)
            cell<QComboBox>(ui->inputTable, row, column)->setItemText(0, m_text("none", "无"));
        labelReturn(row);
    }
}

// The automatic return names its delay, which the next column sets.
void Dialog_Backups::labelReturn(int row)
{
    QComboBox *mode = cell<QComboBox>(ui->inputTable, row, ReturnColumn);
    const int seconds = cell<QSpinBox>(ui->inputTable, row, Stable)->value();
    mode->setItemText(int(BackupTable::Return::Auto), m_text("By itself after %1 s", "自动（稳定 %1 秒后）").arg(seconds));
    mode->setItemText(int(BackupTable::Return::Manual), m_text("When the operator says", "手动"));
}

void Dialog_Backups::showProcessor(int index)
{
    m_shown = index;
    ui->inputTable->setRowCount(0);
    const BackupTable table(m_entries);
    const QList<Input> inputs = m_inputs.value(index);
    for (int row = 0; row < inputs.size(); ++row)
        addRow(row, inputs.at(row), table.find(index + 1, inputs.at(row).code));
}

void Dialog_Backups::addRow(int row, const Input &input, const BackupTable::Entry *entry)
{
    ui->inputTable->insertRow(row);
    auto *item = new QTableWidgetItem(inputText(input.code, input.name));
    item->setData(Qt::UserRole, input.code);
    ui->inputTable->setItem(row, InputColumn, item);
    for (int i = 0; i < BackupTable::MaxBackups; ++i) {
        auto *backup = new QComboBox;
        backup->addItem(m_text("none", "无"), NoInput);
        // An input never stands in for itself: it is not offered.
        for (const Input &other : m_inputs.value(m_shown)) {
            if (other.code != input.code)
                backup->addItem(inputText(other.code, other.name), other.code);
        }
        const int chosen = entry ? entry->backups.value(i, NoInput) : NoInput;
        // One the processor no longer lists is kept, not dropped unseen.
        if (backup->findData(chosen) < 0)
            backup->addItem(QString::number(chosen), chosen);
        backup->setCurrentIndex(backup->findData(chosen));
        ui->inputTable->setCellWidget(row, FirstBackup + i, backup);
    }
    auto *mode = new QComboBox;
    mode->addItems({QString(), QString()});
    mode->setCurrentIndex(int(entry ? entry->returnMode : BackupTable::Return::Auto));
    auto *stable = new QSpinBox;
    stable->setRange(1, BackupTable::MaxStableSeconds);
    stable->setValue(entry ? entry->stableSeconds : BackupTable::DefaultStableSeconds);
    stable->setEnabled(mode->currentIndex() == int(BackupTable::Return::Auto));
    ui->inputTable->setCellWidget(row, ReturnColumn, mode);
    ui->inputTable->setCellWidget(row, Stable, stable);
    labelReturn(row);
    connect(mode, qOverload<int>(&QComboBox::currentIndexChanged), stable,
            [stable](int index) { stable->setEnabled(index == int(BackupTable::Return::Auto)); });
    connect(stable, qOverload<int>(&QSpinBox::valueChanged), this, [this, item] { labelReturn(item->row()); });
}

BackupTable::Entry Dialog_Backups::rowEntry(int row) const
{
    BackupTable::Entry entry;
    entry.processor = m_shown + 1;
    entry.input = ui->inputTable->item(row, InputColumn)->data(Qt::UserRole).toInt();
    // Blanks between choices close up: the order is what counts.
    for (int column = FirstBackup; column < ReturnColumn; ++column) {
        const int backup = cell<QComboBox>(ui->inputTable, row, column)->currentData().toInt();
        if (backup != NoInput)
            entry.backups << backup;
    }
    entry.returnMode = BackupTable::Return(cell<QComboBox>(ui->inputTable, row, ReturnColumn)->currentIndex());
    entry.stableSeconds = cell<QSpinBox>(ui->inputTable, row, Stable)->value();
    return entry;
}

void Dialog_Backups::storeTable()
{
    if (m_shown < 0)
        return;
    QList<BackupTable::Entry> rows;
    for (int row = 0; row < ui->inputTable->rowCount(); ++row)
        rows << rowEntry(row);
    // Entries of inputs not listed here stay as they were.
    m_entries.erase(std::remove_if(m_entries.begin(), m_entries.end(),
                                   [&rows](const BackupTable::Entry &entry) {
                                       return std::any_of(rows.cbegin(), rows.cend(), [&entry](const auto &row) {
                                           return row.processor == entry.processor && row.input == entry.input;
                                       });
                                   }),
                    m_entries.end());
    for (const BackupTable::Entry &entry : rows) {
        if (!entry.backups.isEmpty())
            m_entries << entry;
    }
}

void Dialog_Backups::accept()
{
    storeTable();
    const QString why = BackupTable::problem(m_entries);
    if (!why.isEmpty()) {
        m_banner->show(why);
        return;
    }
    emit entriesAccepted(m_entries);
    QDialog::accept();
}
