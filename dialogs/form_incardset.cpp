#include "form_incardset.h"
#include "ui_form_incardset.h"

#include "dialogslog.h"

#include <bilingual.h>
#include <devicelimits.h>
#include <singleton_serialport.h>

namespace {

constexpr int OneChannelCodes = Limits::OneChannelCodes;
constexpr int ResetValue = 50;

using RowRequest = LinkRequest (*)(int input, int value);
constexpr RowRequest RowRequests[] = {&LinkRequest::setLight, &LinkRequest::setContrast,
                                      &LinkRequest::setColour};
constexpr int InCardEntry::*RowField[] = {&InCardEntry::light, &InCardEntry::contrast,
                                           &InCardEntry::color};


} // namespace

Form_InCardSet::Form_InCardSet(Singleton_SerialPort *deviceLink, int input, bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Form_InCardSet)
    , inputNumber(input)
    , link(deviceLink)
    // Both channels of a two-channel card share one entry.
    , cardEntry(input < OneChannelCodes ? input : (input - OneChannelCodes) / 2)
{
    ui->setupUi(this);
    ui->groupBox_2->hide();
    coupleRows();
    ui->groupBox->setTitle(inputNumber < OneChannelCodes ? tr("In%1").arg(cardEntry + 1)
                                                         : tr("HDMI_In%1").arg(cardEntry + 1));
    fillFromRecord();
    setTexts(isEnglish);
}

Form_InCardSet::~Form_InCardSet() = default;

void Form_InCardSet::coupleRows()
{
    const QList<QPair<QSpinBox *, QSlider *>> rows = {
        {ui->spinBox, ui->horizontalSlider},
        {ui->spinBox_2, ui->horizontalSlider_2},
        {ui->spinBox_3, ui->horizontalSlider_3},
    };
    for (const auto &row : rows) {
        connect(row.first, QOverload<int>::of(&QSpinBox::valueChanged), row.second,
                &QSlider::setValue);
        connect(row.second, &QSlider::valueChanged, row.first, &QSpinBox::setValue);
    }
}

// Codes of two-channel DVI and SDI cards would name an entry past the table:
// such an input shows no values from the record.
void Form_InCardSet::fillFromRecord()
{
    if (cardEntry < 0 || cardEntry >= DeviceData::InCardEntries) {
        qCWarning(lcDialogs) << "input" << inputNumber << "has no input card entry";
        return;
    }
    const InCardEntry &entry = link->dm_data.inCards[cardEntry];
    for (int row = Light; row < RowCount; ++row)
        spinBoxOf(Row(row))->setValue(entry.*RowField[row]);
}

void Form_InCardSet::setTexts(bool isEnglish)
{
    const Bilingual text(isEnglish);
    setWindowTitle(text("Picture  Setting", "图像设置"));
    ui->label->setText(text("Light", "亮度"));
    ui->label_2->setText(text("Contrast", "对比度"));
    ui->label_3->setText(text("Color", "颜色"));
    for (QPushButton *button : {ui->pushButton, ui->pushButton_3, ui->pushButton_5, ui->pushButton_7})
        button->setText(text("Set", "设置"));
    for (QPushButton *button : {ui->pushButton_2, ui->pushButton_4, ui->pushButton_6})
        button->setText(text("Reset", "重置"));
    ui->label_4->setText(text("OSD Switch", "OSD开关"));
    ui->label_5->setText(text("Text Message", "文字内容"));
    ui->label_6->setText(text("8 characters, A ≤ Z and a <= z", "8个字符, A-Z及a-z"));
}

QSpinBox *Form_InCardSet::spinBoxOf(Row row) const
{
    QSpinBox *const boxes[] = {ui->spinBox, ui->spinBox_2, ui->spinBox_3};
    return boxes[row];
}

void Form_InCardSet::sendRow(Row row)
{
    link->send(RowRequests[row](inputNumber, spinBoxOf(row)->value()));
}

void Form_InCardSet::resetRow(Row row)
{
    spinBoxOf(row)->setValue(ResetValue);
    sendRow(row);
}

void Form_InCardSet::on_pushButton_clicked()
{
    sendRow(Light);
}

void Form_InCardSet::on_pushButton_2_clicked()
{
    resetRow(Light);
}

void Form_InCardSet::on_pushButton_3_clicked()
{
    sendRow(Contrast);
}

void Form_InCardSet::on_pushButton_4_clicked()
{
    resetRow(Contrast);
}

void Form_InCardSet::on_pushButton_5_clicked()
{
    sendRow(Colour);
}

void Form_InCardSet::on_pushButton_6_clicked()
{
    resetRow(Colour);
}
