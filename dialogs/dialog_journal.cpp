#include "dialog_journal.h"
#include "journaltablemodel.h"
#include "ui_dialog_journal.h"

#include <buttonboxtexts.h>
#include <journal.h>
#include <journalcsv.h>

#include <QDir>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr JournalEntry::Who Sources[] = {JournalEntry::Who::Operator, JournalEntry::Who::Remote,
                                         JournalEntry::Who::Schedule, JournalEntry::Who::Sequence,
                                         JournalEntry::Who::Watchdog, JournalEntry::Who::Backup};

} // namespace

Dialog_Journal::Dialog_Journal(Journal *journal, const QStringList &processorNames, bool english, QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Journal>())
    , m_journal(journal)
    , m_model(new JournalTableModel(english, this))
    , m_text(english)
{
    ui->setupUi(this);
    ui->table->setModel(m_model);
    ui->table->horizontalHeader()->setStretchLastSection(true);
    ui->table->verticalHeader()->hide();
    // Filled with texts by setTexts(); the data are what the query takes.
    ui->processorBox->addItem(QString(), 0);
    for (int i = 0; i < processorNames.size(); ++i)
        ui->processorBox->addItem(QStringLiteral("%1 %2").arg(i + 1).arg(processorNames.at(i)), i + 1);
    ui->whoBox->addItem(QString());
    for (const JournalEntry::Who who : Sources)
        ui->whoBox->addItem(QString(), JournalEntry::key(who));
    ui->kindBox->addItem(QString());
    for (const QString &kind : JournalEntry::kinds())
        ui->kindBox->addItem(kind, kind);
    const QDateTime now = QDateTime::currentDateTime();
    ui->fromEdit->setDateTime(now.addDays(-7));
    ui->toEdit->setDateTime(now.addDays(1));

    connect(ui->refreshButton, &QPushButton::clicked, this, &Dialog_Journal::refresh);
    connect(ui->exportButton, &QPushButton::clicked, this, &Dialog_Journal::exportCsv);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &Dialog_Journal::reject);
    setTexts();
    refresh();
}

Dialog_Journal::~Dialog_Journal() = default;

void Dialog_Journal::setEnglish(bool english)
{
    m_text.setEnglish(english);
    m_model->setEnglish(english);
    setTexts();
}

void Dialog_Journal::setTexts()
{
    setWindowTitle(m_text("Journal", "操作日志"));
    ButtonBoxTexts::apply(ui->buttonBox, m_text);
    ui->processorLabel->setText(m_text("Processor", "处理器"));
    ui->whoLabel->setText(m_text("Who", "操作者"));
    ui->whoEdit->setPlaceholderText(m_text("Address or name contains", "地址或名称包含"));
    ui->kindLabel->setText(m_text("Kind", "类型"));
    ui->fromLabel->setText(m_text("From", "从"));
    ui->toLabel->setText(m_text("To", "到"));
    ui->refreshButton->setText(m_text("Refresh", "刷新"));
    ui->exportButton->setText(m_text("Export CSV…", "导出CSV…"));
    for (QComboBox *box : {ui->processorBox, ui->whoBox, ui->kindBox})
        box->setItemText(0, m_text("All", "全部"));
    for (int i = 0; i < int(std::size(Sources)); ++i)
        ui->whoBox->setItemText(i + 1, JournalTableModel::whoText(Sources[i], m_text));
    ui->countLabel->setText(m_text("%1 entries", "%1 条记录").arg(m_model->rowCount()));
}

JournalQuery Dialog_Journal::filters() const
{
    JournalQuery query;
    query.processor = ui->processorBox->currentData().toInt();
    query.who = JournalEntry::whoFromKey(ui->whoBox->currentData().toString());
    query.whoText = ui->whoEdit->text().trimmed();
    query.kind = ui->kindBox->currentData().toString();
    query.from = ui->fromEdit->dateTime().toUTC();
    query.to = ui->toEdit->dateTime().toUTC();
    return query;
}

void Dialog_Journal::refresh()
{
    m_model->setEntries(m_journal->query(filters()));
    ui->table->resizeColumnsToContents();
    setTexts();
}

void Dialog_Journal::exportCsv()
{
    const QString path = QFileDialog::getSaveFileName(this, m_text("Export CSV", "导出CSV"),
                                                      QDir::home().filePath(QStringLiteral("journal.csv")),
                                                      m_text("CSV files (*.csv)", "CSV文件 (*.csv)"), nullptr,
                                                      QFileDialog::DontUseNativeDialog);
    if (path.isEmpty() || JournalCsv::write(m_model->entries(), path))
        return;
    QMessageBox::warning(this, m_text("Export CSV", "导出CSV"),
                         m_text("The file %1 could not be written.", "无法写入文件 %1。").arg(path));
}
