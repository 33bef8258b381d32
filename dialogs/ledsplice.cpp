#include "ledsplice.h"
#include "ui_ledsplice.h"

#include "dialogslog.h"

#include <bilingual.h>
#include <devicelimits.h>
#include <errorbanner.h>
#include <modes.h>
#include <resolution.h>
#include <singleton_serialport.h>

#include <QLabel>
#include <QLineEdit>

namespace {

constexpr int GridSide = Limits::WallSide;
constexpr int CellWidth = 71;
constexpr int CellHeight = 28;
constexpr int GridLeft = 82;
constexpr int GridTop = 85;
constexpr int ColumnPitch = 72;
constexpr int RowPitch = 29;
constexpr int WidthFieldsTop = 56;
constexpr int HeightFieldsLeft = 10;

const char *const UnusedCell = "background-color: rgb(116, 116, 116);";
const char *const UsedCell = "background-color: rgb(85, 255, 0);";

int resolutionIndex(int code)
{
    const Resolution *resolution = Resolution::byCode(code);
    return resolution ? int(resolution - Resolutions) : 0;
}


int valueOf(const QLineEdit *edit)
{
    return edit->text().toInt();
}

// Puts an out-of-range size back to the limit; false when it had to.
bool checkSize(QLineEdit *edit, int limit)
{
    const int value = valueOf(edit);
    if (value >= 1 && value <= limit)
        return true;
    edit->setText(QString::number(limit));
    return false;
}

} // namespace

LEDsplice::LEDsplice(bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LEDsplice)
    , link(Singleton_SerialPort::instance())
{
    ui->setupUi(this);
    m_banner = new ErrorBanner(ui->navLabel, {}, this);
    buildGrid();

    connect(ui->saveButton, &QPushButton::clicked, this, &LEDsplice::saveLEDSplice);
    connect(ui->saveBtn, &QPushButton::clicked, this, &LEDsplice::saveData);
    connect(ui->closeBtn, &QPushButton::clicked, this, &LEDsplice::close);
    connect(ui->formatBox, QOverload<int>::of(&QComboBox::activated), this, &LEDsplice::set_fromt);
    // Enter confirms the counts from their own fields only; no button is a
    // default, so Enter in a size field keeps what was typed there.
    connect(ui->RowEdit, &QLineEdit::returnPressed, this, &LEDsplice::saveLEDSplice);
    connect(ui->ColumnEdit, &QLineEdit::returnPressed, this, &LEDsplice::saveLEDSplice);

    setTexts(isEnglish);
    loadFromRecord();
}

LEDsplice::~LEDsplice() = default;

// The 16 row-height fields, the 16 column-width fields and the 256 preview
// cells; cell (r, c) is label(1 + r + 16 c), so label1..label16 form column 0.
void LEDsplice::buildGrid()
{
    for (int i = 0; i < GridSide; ++i) {
        auto *rowEdit = new QLineEdit(ui->groupBox);
        rowEdit->setObjectName(QStringLiteral("R%1Edit").arg(i + 1));
        rowEdit->setGeometry(HeightFieldsLeft, GridTop + RowPitch * i, CellWidth, CellHeight);
        m_rowEdits.append(rowEdit);
    }
    for (int j = 0; j < GridSide; ++j) {
        auto *colEdit = new QLineEdit(ui->groupBox);
        colEdit->setObjectName(QStringLiteral("C%1Edit").arg(j + 1));
        colEdit->setGeometry(GridLeft + ColumnPitch * j, WidthFieldsTop, CellWidth, CellHeight);
        m_colEdits.append(colEdit);
    }
    for (int c = 0; c < GridSide; ++c) {
        for (int r = 0; r < GridSide; ++r) {
            auto *cell = new QLabel(ui->groupBox);
            cell->setObjectName(QStringLiteral("label%1").arg(m_cells.size() + 1));
            cell->setGeometry(GridLeft + ColumnPitch * c, GridTop + RowPitch * r, CellWidth,
                              CellHeight);
            cell->setStyleSheet(QString::fromLatin1(UnusedCell));
            m_cells.append(cell);
        }
    }
}

void LEDsplice::setTexts(bool isEnglish)
{
    const Bilingual text(isEnglish);
    setWindowTitle(text("Physical Screen Settings", "物理屏设置"));
    ui->formatlab->setText(text("Resolution", "分辨率"));
    ui->appmodellab->setText(text("Applied Mode", "应用模式"));
    ui->label->setText(text("Stitching Way", "拼接方式"));
    ui->saveButton->setText(text("Ok", "确认"));
    ui->saveBtn->setText(text("Save", "保存"));
    ui->closeBtn->setText(text("Close", "关闭"));
    for (const Resolution &resolution : Resolutions)
        ui->formatBox->addItem(QString::fromLatin1(resolution.text));
    ui->appmodelBox->addItem(text("Single DVI output 4 screen mode", "单DVI输出口4画面模式"));
    ui->appmodelBox->addItem(text("Dual DVI outputs 2 screen mode", "双DVI输出口分别2画面模式"));
    m_messages = QStringList{
        text("Numerical error, automatically adjusted to available value.",
             "数值错误，自动调整为可用值."),
        text(
             "Numerical error, the maximum value of row and column is %1 and the maximum value "
             "of LED is %2.",
             "数值错误，行列最大值%1，LED最大值%2.")
            .arg(GridSide)
            .arg(Limits::WallCells),
    };
}

// The record's counts, held to what the 16 fields and 256 cells can show.
int LEDsplice::recordRows() const
{
    return qBound(1, link->dm_data.rows(), GridSide);
}

int LEDsplice::recordCols() const
{
    return qBound(1, link->dm_data.cols(), GridSide);
}

void LEDsplice::loadFromRecord()
{
    const DeviceData &record = link->dm_data;
    ui->RowEdit->setText(QString::number(recordRows()));
    ui->ColumnEdit->setText(QString::number(recordCols()));
    m_rows = valueOf(ui->RowEdit);
    m_cols = valueOf(ui->ColumnEdit);
    ui->formatBox->setCurrentIndex(resolutionIndex(record.outResolution));
    set_fromt(ui->formatBox->currentIndex());
    ui->appmodelBox->setCurrentIndex(record.outMode2 == Modes::SingleOutput ? 0 : 1);
    clearSizeFields();
    if (record.colWidths.isEmpty())
        return;
    for (int i = 0; i < m_rows; ++i) {
        m_rowEdits[i]->setEnabled(true);
        m_rowEdits[i]->setText(QString::number(record.rowHeights.value(i)));
    }
    for (int j = 0; j < m_cols; ++j) {
        m_colEdits[j]->setEnabled(true);
        m_colEdits[j]->setText(QString::number(record.colWidths.value(j)));
    }
    paintGrid();
}

void LEDsplice::clearSizeFields()
{
    for (QLineEdit *edit : m_rowEdits + m_colEdits) {
        edit->clear();
        edit->setEnabled(false);
    }
}

void LEDsplice::set_fromt(int index)
{
    if (index < 0 || index >= Resolution::Count)
        return;
    m_maxWidth = Resolutions[index].width;
    m_maxHeight = Resolutions[index].height;
    qCDebug(lcDialogs) << m_maxWidth << m_maxHeight;
}

void LEDsplice::saveLEDSplice()
{
    if (checkCounts())
        applyCounts();
    else
        showMessage(CountsTooLarge);
}

bool LEDsplice::checkCounts()
{
    const int rows = valueOf(ui->RowEdit);
    const int cols = valueOf(ui->ColumnEdit);
    bool ok = true;
    if (rows < 1 || rows > GridSide) {
        ok = false;
        ui->RowEdit->setText(QString::number(recordRows()));
    }
    if (cols < 1 || cols > GridSide) {
        ok = false;
        ui->ColumnEdit->setText(QString::number(recordCols()));
    }
    if (ok && rows * cols > Limits::WallCells)
        ok = false;
    if (ok) {
        m_rows = rows;
        m_cols = cols;
    }
    return ok;
}

void LEDsplice::applyCounts()
{
    clearSizeFields();
    const int rows = valueOf(ui->RowEdit);
    const int cols = valueOf(ui->ColumnEdit);
    for (int i = 0; i < rows; ++i) {
        m_rowEdits[i]->setEnabled(true);
        m_rowEdits[i]->setText(QString::number(m_maxHeight));
    }
    for (int j = 0; j < cols; ++j) {
        m_colEdits[j]->setEnabled(true);
        m_colEdits[j]->setText(QString::number(m_maxWidth));
    }
    paintGrid();
}

void LEDsplice::paintGrid()
{
    const int rows = valueOf(ui->RowEdit);
    const int cols = valueOf(ui->ColumnEdit);
    for (int c = 0; c < GridSide; ++c) {
        for (int r = 0; r < GridSide; ++r) {
            const bool used = r < rows && c < cols;
            m_cells[r + GridSide * c]->setStyleSheet(QString::fromLatin1(used ? UsedCell : UnusedCell));
        }
    }
}

void LEDsplice::saveData()
{
    if (!checkSizes()) {
        showMessage(SizesAdjusted);
        return;
    }
    storeToRecord();
    close();
    emit sendSignal();
}

bool LEDsplice::checkSizes()
{
    bool ok = true;
    for (int i = 0; i < m_rows; ++i)
        ok = checkSize(m_rowEdits[i], m_maxHeight) && ok;
    for (int j = 0; j < m_cols; ++j)
        ok = checkSize(m_colEdits[j], m_maxWidth) && ok;
    return ok;
}

void LEDsplice::storeToRecord()
{
    DeviceData &record = link->dm_data;
    const Resolution &resolution = Resolutions[ui->formatBox->currentIndex()];
    record.outResolution = resolution.code;
    record.outWidth = resolution.width;
    record.outHeight = resolution.height;
    record.outMode2 = ui->appmodelBox->currentIndex() == 0 ? Modes::SingleOutput : Modes::DualOutput;
    record.setWallSize(m_rows, m_cols);
    for (int i = 0; i < record.rows(); ++i)
        record.rowHeights[i] = valueOf(m_rowEdits[i]);
    for (int j = 0; j < record.cols(); ++j)
        record.colWidths[j] = valueOf(m_colEdits[j]);
}

void LEDsplice::showMessage(Banner banner)
{
    m_banner->show(m_messages.value(banner));
}
