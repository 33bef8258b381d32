#include "dialog_text.h"
#include "ui_dialog_text.h"

#include "signalpanel.h"

#include <bilingual.h>
#include <singleton_serialport.h>

Dialog_text::Dialog_text(Singleton_SerialPort *deviceLink, bool isEnglish, int cardEntry, QWidget *parent)
    : QDialog(parent)
    , card(cardEntry)
    , link(deviceLink)
    , ui(new Ui::Dialog_text)
{
    ui->setupUi(this);
    lamps = {ui->lightpoint, ui->lightpoint_2, ui->lightpoint_3, ui->lightpoint_4};
    m_signals = new SignalPanel({ui->pushButton_2, ui->pushButton_3, ui->pushButton_4, ui->pushButton_5},
                                lamps, this);
    setTexts(isEnglish);
    coupleColours();
    connectButtons();
    InitPage();
}

Dialog_text::~Dialog_text() = default;

void Dialog_text::setTexts(bool isEnglish)
{
    const Bilingual text(isEnglish);
    setWindowTitle(text("Caption", "字幕"));
    ui->lab_value->setText(text("Threshold", "阀值"));
    ui->lab_up->setText(text("<Threshold", "<阀值"));
    ui->lab_down->setText(text(">Threshold", ">阀值"));
    ui->lab_red->setText(text("Red", "红"));
    ui->lab_green->setText(text("Green", "绿"));
    ui->lab_bule->setText(text("Blue", "蓝"));
    ui->but_set->setText(text("Setting", "设置"));
    ui->but_reset->setText(text("Resetting", "重置"));
}

// Each slider and its spin box follow each other.
void Dialog_text::coupleColours()
{
    const std::pair<QSlider *, QSpinBox *> pairs[] = {
        {ui->sid_red, ui->spin_red}, {ui->sid_green, ui->spin_green}, {ui->sid_blue, ui->spin_blue}};
    for (const auto &[slider, spin] : pairs) {
        connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), slider, &QSlider::setValue);
    }
}

void Dialog_text::connectButtons()
{
    connect(m_signals, &SignalPanel::chosen, this, &Dialog_text::sendCaptionSignal);
    connect(ui->but_set, &QPushButton::clicked, this, &Dialog_text::sendCaptions);
    connect(ui->but_reset, &QPushButton::clicked, this, &Dialog_text::InitPage);
}

void Dialog_text::InitPage()
{
    const InCardEntry &e = link->dm_data.inCards[card];
    m_signals->showSignal(e.auxSignal);
    if (e.captionValues[0] != 0)
        ui->lab_down->setChecked(true);
    else
        ui->lab_up->setChecked(true);
    ui->spin_red->setValue(e.captionValues[1]);
    ui->spin_green->setValue(e.captionValues[2]);
    ui->spin_blue->setValue(e.captionValues[3]);
}

void Dialog_text::sendCaptionSignal(int signal)
{
    link->send(LinkRequest::setCaptionSignal(card, signal));
}

// Card, side (0 below, 1 above the threshold), red, green, blue.
void Dialog_text::sendCaptions()
{
    QByteArray payload(1, char(card & 0xFF));
    payload.append(char(ui->lab_up->isChecked() ? 0 : 1));
    for (const QSpinBox *spin : {ui->spin_red, ui->spin_green, ui->spin_blue})
        payload.append(char(spin->value() & 0xFF));
    link->send(LinkRequest::setCaptions(payload));
}
