#include "dialog_pip.h"
#include "ui_dialog_pip.h"

#include "signalpanel.h"

#include <bilingual.h>
#include <devicelimits.h>
#include <singleton_serialport.h>

#include <QMessageBox>

namespace {

constexpr int MainRow = 0;
constexpr int PipRow = 1;
constexpr int PictureWidth = Limits::PictureWidth;
constexpr int PictureHeight = Limits::PictureHeight;

QString signalName(int signal)
{
    static const char *const names[] = {"SDI", "DVI", "VGA", "CVBS"};
    return signal >= 0 && signal < 4 ? QString::fromLatin1(names[signal]) : QString();
}

void appendWord(QByteArray &bytes, int value)
{
    bytes.append(char(value & 0xFF));
    bytes.append(char((value >> 8) & 0xFF));
}

} // namespace

Dialog_Pip::Dialog_Pip(bool isEnglish, int cardEntry, QWidget *parent)
    : QDialog(parent)
    , card(cardEntry)
    , link(Singleton_SerialPort::instance())
    , ui(new Ui::Dialog_Pip)
{
    ui->setupUi(this);
    setTexts(isEnglish);
    lamps = {ui->lightpoint, ui->lightpoint_2, ui->lightpoint_3, ui->lightpoint_4};
    m_signals = new SignalPanel({ui->pushButton_2, ui->pushButton_3, ui->pushButton_4, ui->pushButton_5},
                                lamps, this);
    connectControls();
    InitPage();
}

Dialog_Pip::~Dialog_Pip() = default;

const InCardEntry &Dialog_Pip::entry() const
{
    return link->dm_data.inCards[card];
}

void Dialog_Pip::setTexts(bool isEnglish)
{
    const Bilingual text(isEnglish);
    setWindowTitle(text("PIP", "双画面"));
    ui->lab_mainSingle->setText(text("Main Signal:", "主信号:") + signalName(entry().mainSignal));
    ui->groupBox->setTitle(text("PIP Signal", "子信号"));
    ui->label_3->setText(text("MAIN", "主画面"));
    ui->label_8->setText(text("PIP", "子画面"));
    ui->label_4->setText(text("H_Start", "水平起始"));
    ui->label_5->setText(text("V_Start", "垂直起始"));
    ui->label_6->setText(text("Width", "水平宽度"));
    ui->label_7->setText(text("Height", "垂直高度"));
    ui->saveButton->setText(text("Save", "保存"));
    m_texts = QStringList{text("Explain", "说明"),
                          text("Numerical error, the maximum value of H_Start + Width is %1, "
                               "the maximum value of V_Start + Height is %2.",
                               "数值错误，水平起始+水平宽度的最大值为%1，垂直起始+垂直高度的最大值为%2。")
                              .arg(PictureWidth)
                              .arg(PictureHeight)};
}

void Dialog_Pip::connectControls()
{
    connect(m_signals, &SignalPanel::chosen, this, &Dialog_Pip::sendPipSignal);
    // A typed value moves the canvas rectangle with the other three values
    // of its row, so that canvas and numbers always show the same
    // rectangle; nothing is sent.
    for (int row : {MainRow, PipRow}) {
        for (QSpinBox *spin : spinRow(row))
            connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, row] { showRow(row); });
    }
    connect(ui->frame, &MyCanvas::move_rect, this, &Dialog_Pip::Rsp_PIP_number_value);
    connect(ui->saveButton, &QPushButton::clicked, this, &Dialog_Pip::saveRects);
}

QList<QSpinBox *> Dialog_Pip::spinRow(int row) const
{
    if (row == MainRow)
        return {ui->spinBox, ui->spinBox_2, ui->spinBox_3, ui->spinBox_4};
    return {ui->spinBox_5, ui->spinBox_6, ui->spinBox_7, ui->spinBox_8};
}

void Dialog_Pip::InitPage()
{
    const InCardEntry &e = entry();
    m_signals->showSignal(e.auxSignal);
    m_signals->showLit(e.sigFlagA != 0);

    // The record holds H start, width, V start, height.
    const QRect main(e.rectA[0], e.rectA[2], e.rectA[1], e.rectA[3]);
    const QRect inset(e.rectB[0], e.rectB[2], e.rectB[1], e.rectB[3]);
    setRow(MainRow, main);
    setRow(PipRow, inset);
    showRow(MainRow); // as the spin boxes hold it, clamped to their ranges
    showRow(PipRow);
}

// which 0 = the inset rectangle was dragged, otherwise the main one.
void Dialog_Pip::Rsp_PIP_number_value(int which)
{
    if (which == 0)
        setRow(PipRow, ui->frame->pipRectScaled());
    else
        setRow(MainRow, ui->frame->mainRectScaled());
}

// The numbers follow the canvas without moving it again.
void Dialog_Pip::setRow(int row, const QRect &rect)
{
    const int values[] = {rect.x(), rect.y(), rect.width(), rect.height()};
    const QList<QSpinBox *> spins = spinRow(row);
    m_settingRow = true;
    for (int field = 0; field < spins.size(); ++field)
        spins[field]->setValue(values[field]);
    m_settingRow = false;
}

QRect Dialog_Pip::rowRect(int row) const
{
    const QList<QSpinBox *> spins = spinRow(row);
    return QRect(spins[0]->value(), spins[1]->value(), spins[2]->value(), spins[3]->value());
}

void Dialog_Pip::showRow(int row)
{
    if (m_settingRow)
        return;
    const QRect rect = rowRect(row);
    if (row == MainRow)
        ui->frame->setMainRect(rect.x(), rect.y(), rect.width(), rect.height());
    else
        ui->frame->setPipRect(rect.x(), rect.y(), rect.width(), rect.height());
}

void Dialog_Pip::sendPipSignal(int signal)
{
    link->send(LinkRequest::setPipSignal(card, signal));
}

// Both rectangles travel with the card in their first byte; a rectangle
// that leaves the picture is not sent.
void Dialog_Pip::saveRects()
{
    const QRect picture(0, 0, PictureWidth, PictureHeight);
    if (!picture.contains(rowRect(MainRow)) || !picture.contains(rowRect(PipRow))) {
        QMessageBox::about(this, m_texts.at(0), m_texts.at(1));
        return;
    }
    link->send(LinkRequest::setRectangles(rectPayload(MainRow), rectPayload(PipRow)));
}

// Card, then H start, width, V start, height, each low byte first.
QByteArray Dialog_Pip::rectPayload(int row) const
{
    const QList<QSpinBox *> spins = spinRow(row);
    QByteArray bytes(1, char(card & 0xFF));
    for (int field : {0, 2, 1, 3})
        appendWord(bytes, spins[field]->value());
    return bytes;
}
