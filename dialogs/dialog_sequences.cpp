#include "dialog_sequences.h"
#include "ui_dialog_sequences.h"

#include <buttonboxtexts.h>
#include <errorbanner.h>

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QPushButton>
#include <QStandardItemModel>

#include <cmath>

namespace {

// A new step: the first processor's M1 for ten seconds.
SequenceStep firstStep()
{
    return SequenceStep::recall(0, 0, 10000);
}

template<typename Widget>
Widget *cell(const QTableWidget *table, int row, int column)
{
    return qobject_cast<Widget *>(table->cellWidget(row, column));
}

} // namespace

Dialog_Sequences::Dialog_Sequences(const QList<Sequence> &sequences, const ShowNames &names, bool english,
                                   QWidget *parent)
    : QDialog(parent)
    , ui(std::make_unique<Ui::Dialog_Sequences>())
    , m_text(english)
    , m_names(names)
{
    ui->setupUi(this);
    m_banner = new ErrorBanner(ui->navLabel, {}, this);
    ui->nameEdit->setMaxLength(Sequence::MaxName);
    ui->failureBox->addItems({QString(), QString()});
    for (const Sequence &sequence : sequences)
        addSequence(sequence);
    connect(ui->sequenceTable, &QTableWidget::currentCellChanged, this, [this](int row) {
        storeForm();
        showSequence(row);
    });
    connect(ui->addButton, &QPushButton::clicked, this, [this] {
        Sequence sequence;
        sequence.name = freeName(m_text("Sequence", "序列"));
        sequence.steps << firstStep();
        addSequence(sequence);
    });
    connect(ui->duplicateButton, &QPushButton::clicked, this, [this] {
        storeForm();
        Sequence copy = m_sequences.value(m_current);
        copy.name = freeName(copy.name);
        addSequence(copy);
    });
    connect(ui->removeButton, &QPushButton::clicked, this, &Dialog_Sequences::removeSequence);
    connect(ui->addStepButton, &QPushButton::clicked, this, [this] {
        const int row = ui->stepTable->rowCount();
        addStepRow(row, row > 0 ? stepAt(row - 1) : firstStep());
        ui->stepTable->selectRow(row);
    });
    connect(ui->removeStepButton, &QPushButton::clicked, this,
            [this] { ui->stepTable->removeRow(ui->stepTable->currentRow()); });
    connect(ui->upButton, &QPushButton::clicked, this, [this] { moveStep(-1); });
    connect(ui->downButton, &QPushButton::clicked, this, [this] { moveStep(1); });
    connect(ui->buttonBox, &QDialogButtonBox::accepted, this, &Dialog_Sequences::accept);
    connect(ui->buttonBox, &QDialogButtonBox::rejected, this, &Dialog_Sequences::reject);
    setTexts();
    ui->sequenceTable->setCurrentCell(sequences.isEmpty() ? -1 : 0, 0);
    showSequence(ui->sequenceTable->currentRow());
}

Dialog_Sequences::~Dialog_Sequences() = default;

void Dialog_Sequences::setEnglish(bool english)
{
    m_text.setEnglish(english);
    setTexts();
}

void Dialog_Sequences::setTexts()
{
    setWindowTitle(m_text("Sequences", "序列"));
    ButtonBoxTexts::apply(ui->buttonBox, m_text);
    ui->sequenceTable->setHorizontalHeaderLabels(
        {m_text("Name", "名称"), m_text("Steps", "步数"), m_text("Loop", "循环"), m_text("On failure", "失败时")});
    ui->stepTable->setHorizontalHeaderLabels({m_text("Kind", "类型"), m_text("Processor", "处理器"),
                                              m_text("Preset", "场景"), m_text("Look", "场景组"),
                                              m_text("Dwell (s)", "停留（秒）")});
    ui->addButton->setText(m_text("Add", "添加"));
    ui->duplicateButton->setText(m_text("Duplicate", "复制"));
    ui->removeButton->setText(m_text("Remove", "删除"));
    ui->addStepButton->setText(m_text("Add step", "添加步骤"));
    ui->removeStepButton->setText(m_text("Remove step", "删除步骤"));
    ui->upButton->setText(m_text("Up", "上移"));
    ui->downButton->setText(m_text("Down", "下移"));
    ui->nameLabel->setText(m_text("Name", "名称"));
    ui->failureLabel->setText(m_text("On failure", "失败时"));
    ui->failureBox->setItemText(int(Sequence::OnFailure::Stop), m_text("Stop", "停止"));
    ui->failureBox->setItemText(int(Sequence::OnFailure::Skip), m_text("Skip", "跳过"));
    ui->loopBox->setText(m_text("Loop", "循环"));
    for (int row = 0; row < ui->stepTable->rowCount(); ++row) {
        QComboBox *kind = cell<QComboBox>(ui->stepTable, row, Kind);
        kind->setItemText(0, m_text("Preset", "场景"));
        kind->setItemText(1, m_text("Look", "场景组"));
        cell<QDoubleSpinBox>(ui->stepTable, row, Dwell)->setSuffix(m_text(" s", " 秒"));
    }
    for (int row = 0; row < m_sequences.size(); ++row)
        showSummary(row);
}

void Dialog_Sequences::addSequence(const Sequence &sequence)
{
    storeForm();
    m_sequences << sequence;
    const int row = ui->sequenceTable->rowCount();
    ui->sequenceTable->insertRow(row);
    for (int column = 0; column < ui->sequenceTable->columnCount(); ++column)
        ui->sequenceTable->setItem(row, column, new QTableWidgetItem);
    showSummary(row);
    ui->sequenceTable->setCurrentCell(row, 0);
    ui->addButton->setEnabled(m_sequences.size() < Sequence::MaxCount);
}

void Dialog_Sequences::removeSequence()
{
    const int row = m_current;
    if (row < 0)
        return;
    // Forgotten first, so that the form is not kept into its successor.
    m_current = -1;
    m_sequences.removeAt(row);
    ui->sequenceTable->removeRow(row);
    showSequence(ui->sequenceTable->currentRow());
    ui->addButton->setEnabled(true);
}

void Dialog_Sequences::storeForm()
{
    if (m_current < 0 || m_current >= m_sequences.size())
        return;
    Sequence &sequence = m_sequences[m_current];
    sequence.name = ui->nameEdit->text();
    sequence.loop = ui->loopBox->isChecked();
    sequence.onFailure = Sequence::OnFailure(ui->failureBox->currentIndex());
    sequence.steps = shownSteps();
    showSummary(m_current);
}

void Dialog_Sequences::showSequence(int row)
{
    m_current = row;
    const Sequence sequence = m_sequences.value(row);
    ui->nameEdit->setText(sequence.name);
    ui->loopBox->setChecked(sequence.loop);
    ui->failureBox->setCurrentIndex(int(sequence.onFailure));
    showSteps(sequence.steps);
    const QList<QWidget *> fields{ui->nameEdit,         ui->loopBox,         ui->failureBox,
                                  ui->stepTable,        ui->addStepButton,   ui->removeStepButton,
                                  ui->upButton,         ui->downButton,      ui->duplicateButton,
                                  ui->removeButton};
    for (QWidget *field : fields)
        field->setEnabled(row >= 0);
}

void Dialog_Sequences::showSummary(int row)
{
    const Sequence &sequence = m_sequences.at(row);
    ui->sequenceTable->item(row, 0)->setText(sequence.name);
    ui->sequenceTable->item(row, 1)->setText(QString::number(sequence.steps.size()));
    ui->sequenceTable->item(row, 2)->setText(sequence.loop ? m_text("Yes", "是") : m_text("No", "否"));
    ui->sequenceTable->item(row, 3)->setText(ui->failureBox->itemText(int(sequence.onFailure)));
}

void Dialog_Sequences::showSteps(const QList<SequenceStep> &steps)
{
    ui->stepTable->setRowCount(0);
    for (int row = 0; row < steps.size(); ++row)
        addStepRow(row, steps.at(row));
    ui->stepTable->selectRow(0);
}

void Dialog_Sequences::addStepRow(int row, const SequenceStep &step)
{
    ui->stepTable->insertRow(row);
    auto *kind = new QComboBox;
    kind->addItems({m_text("Preset", "场景"), m_text("Look", "场景组")});
    kind->setCurrentIndex(step.isLook() ? 1 : 0);
    // Without looks a look step could name none.
    if (m_names.looks.isEmpty() && !step.isLook())
        qobject_cast<QStandardItemModel *>(kind->model())->item(1)->setEnabled(false);
    auto *processor = new QComboBox;
    m_names.fillProcessors(processor, step.processor);
    auto *preset = new QComboBox;
    m_names.fillPresets(preset, step.processor);
    preset->setCurrentIndex(preset->findData(step.preset));
    auto *look = new QComboBox;
    ShowNames::fillNames(look, m_names.looks, step.look);
    auto *dwell = new QDoubleSpinBox;
    dwell->setRange(double(SequenceStep::MinDwellMs) / 1000, double(SequenceStep::MaxDwellMs) / 1000);
    // Tenths, unless a file gave finer: a dwell is never rounded unseen.
    dwell->setDecimals(step.dwellMs % 100 ? 3 : 1);
    dwell->setSingleStep(0.1);
    dwell->setSuffix(m_text(" s", " 秒"));
    dwell->setValue(double(step.dwellMs) / 1000);
    const auto showKind = [processor, preset, look](int index) {
        processor->setEnabled(index == 0);
        preset->setEnabled(index == 0);
        look->setEnabled(index == 1);
    };
    showKind(kind->currentIndex());
    connect(kind, qOverload<int>(&QComboBox::currentIndexChanged), this, showKind);
    connect(processor, qOverload<int>(&QComboBox::currentIndexChanged), this,
            [this, processor, preset] { m_names.fillPresets(preset, processor->currentData().toInt()); });
    ui->stepTable->setCellWidget(row, Kind, kind);
    ui->stepTable->setCellWidget(row, Processor, processor);
    ui->stepTable->setCellWidget(row, Preset, preset);
    ui->stepTable->setCellWidget(row, Look, look);
    ui->stepTable->setCellWidget(row, Dwell, dwell);
}

SequenceStep Dialog_Sequences::stepAt(int row) const
{
    const qint64 dwellMs = std::llround(cell<QDoubleSpinBox>(ui->stepTable, row, Dwell)->value() * 1000);
    if (cell<QComboBox>(ui->stepTable, row, Kind)->currentIndex() == 1)
        return SequenceStep::recallLook(cell<QComboBox>(ui->stepTable, row, Look)->currentText(), dwellMs);
    // An empty combo's -1 is left for the step's check to name.
    return SequenceStep::recall(cell<QComboBox>(ui->stepTable, row, Processor)->currentData().toInt(),
                                cell<QComboBox>(ui->stepTable, row, Preset)->currentData().toInt(), dwellMs);
}

QList<SequenceStep> Dialog_Sequences::shownSteps() const
{
    QList<SequenceStep> steps;
    for (int row = 0; row < ui->stepTable->rowCount(); ++row)
        steps << stepAt(row);
    return steps;
}

void Dialog_Sequences::moveStep(int by)
{
    const int row = ui->stepTable->currentRow();
    QList<SequenceStep> steps = shownSteps();
    if (row < 0 || row + by < 0 || row + by >= steps.size())
        return;
    steps.move(row, row + by);
    showSteps(steps);
    ui->stepTable->selectRow(row + by);
}

QString Dialog_Sequences::freeName(const QString &base) const
{
    const auto taken = [this](const QString &name) {
        return std::any_of(m_sequences.cbegin(), m_sequences.cend(),
                           [&name](const Sequence &sequence) { return sequence.isNamed(name); });
    };
    QString name = base;
    for (int number = 2; taken(name); ++number)
        name = QStringLiteral("%1 %2").arg(base).arg(number);
    return name;
}

void Dialog_Sequences::accept()
{
    storeForm();
    const QString why = Sequence::checkList(m_sequences);
    if (!why.isEmpty()) {
        m_banner->show(why);
        return;
    }
    emit sequencesAccepted(m_sequences);
    QDialog::accept();
}
