#include "form_singlecard.h"
#include "ui_form_singlecard.h"

#include "dialog_pip.h"
#include "dialog_text.h"

#include <lightpoint.h>
#include <singleton_serialport.h>

namespace {

const char *const LitStyle = "background-color: rgb(85, 170, 255);";
const char *const UnlitStyle = "background-color: rgb(150, 150, 150);";
const QColor LitLamp(85, 170, 255);
const QColor UnlitLamp(124, 124, 124);

constexpr int VgaSignal = 2;
constexpr int PipGroup = 1;
constexpr int CaptionGroup = 2;
constexpr int SignalTimeoutMs = 10000;
constexpr int ModeTimeoutMs = 5000;

QString styleOf(int flag)
{
    return QString::fromLatin1(flag != 0 ? LitStyle : UnlitStyle);
}

} // namespace

Form_singleCard::Form_singleCard(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Form_singleCard)
    , link(Singleton_SerialPort::instance())
{
    ui->setupUi(this);
    lamps = {ui->lightpoint, ui->lightpoint_2, ui->lightpoint_3, ui->lightpoint_4};
    // Only a fitted one-channel card lights a lamp.
    for (LightPoint *lamp : lamps)
        lamp->hide();
    const QList<QPushButton *> buttons = signalButtons();
    for (int signal = 0; signal < buttons.size(); ++signal)
        connect(buttons[signal], &QPushButton::clicked, this, [this, signal] { sendSignal(signal); });
    connect(ui->but_auto_1, &QPushButton::clicked, this, &Form_singleCard::sendAuto);
    connect(ui->but_to_1, &QPushButton::clicked, this, &Form_singleCard::openAuxDialog);
    connect(ui->com_model_1, QOverload<int>::of(&QComboBox::activated), this,
            &Form_singleCard::setStatu);
}

Form_singleCard::~Form_singleCard() = default;

// The signal buttons in signal order: SDI, DVI, VGA, CVBS.
QList<QPushButton *> Form_singleCard::signalButtons() const
{
    return {ui->pushButton_2, ui->pushButton_3, ui->pushButton_4, ui->pushButton_5};
}

void Form_singleCard::initCard(bool english, int cardEntry)
{
    card = cardEntry;
    isEnglish = english;
    ui->com_model_1->clear();
    if (isEnglish)
        ui->com_model_1->addItems({tr("Single picture"), tr("PIP"), tr("Captions")});
    else
        ui->com_model_1->addItems({QStringLiteral("单画面"), QStringLiteral("双画面"),
                                   QStringLiteral("字幕")});
    const QString title = tr("In%1").arg(card + 1);
    ui->groupBox->setTitle(title);
    ui->groupBox_2->setTitle(title);
    refresh();
}

const InCardEntry &Form_singleCard::entry() const
{
    return link->dm_data.inCards[card];
}

// The mode box index of the record's mode: 0 single, 1 PIP, 2 captions.
int Form_singleCard::modeGroup() const
{
    return (entry().mode + 1) / 2;
}

void Form_singleCard::refresh()
{
    const InCardEntry &e = entry();
    const bool twoChannels = e.cardType != 0;
    ui->groupBox->setVisible(twoChannels);
    ui->groupBox_2->setVisible(!twoChannels);
    setEnabled(e.present != 0);
    if (twoChannels)
        showTwoChannel(e);
    else
        showOneChannel(e);
}

void Form_singleCard::showTwoChannel(const InCardEntry &e)
{
    ui->pushButton->setStyleSheet(e.present != 0 ? styleOf(e.sigFlagA) : QString());
    ui->pushButton_6->setStyleSheet(e.present != 0 ? styleOf(e.sigFlagB) : QString());
    static const char *const kinds[] = {"HDMI", "DVI", "SDI"};
    if (e.cardType < 1 || e.cardType > 3)
        return;
    // An odd slot holds channels 3 and 4 of its pair of slots.
    const int first = card % 2 == 0 ? 1 : 3;
    const QString kind = QString::fromLatin1(kinds[e.cardType - 1]);
    ui->pushButton->setText(kind + QString::number(first));
    ui->pushButton_6->setText(kind + QString::number(first + 1));
}

void Form_singleCard::showOneChannel(const InCardEntry &e)
{
    const QList<QPushButton *> buttons = signalButtons();
    if (e.present == 0) {
        for (QPushButton *button : buttons)
            button->setStyleSheet(QString());
        return;
    }
    // A signal code without a lamp shows none.
    for (int signal = 0; signal < lamps.size(); ++signal) {
        lamps[signal]->setVisible(signal == e.mainSignal);
        lamps[signal]->setBgColor(e.sigFlagA != 0 ? LitLamp : UnlitLamp);
    }
    for (QPushButton *button : buttons)
        button->setStyleSheet(styleOf(e.sigFlagA));
    ui->com_model_1->setCurrentIndex(modeGroup());
    ui->but_to_1->setEnabled(modeGroup() != 0);
    ui->but_auto_1->setEnabled(e.mainSignal == VgaSignal);
}

void Form_singleCard::sendSignal(int signal)
{
    emit link->send_out_time(SignalTimeoutMs);
    link->dm_index = card;
    link->dm_sendBuf = QByteArray(1, static_cast<char>(signal));
    link->postCommand(CommandBuilder::SetMainSignal);
}

void Form_singleCard::setStatu(int index)
{
    if (index == modeGroup())
        return;
    emit link->send_out_time(ModeTimeoutMs);
    link->dm_index = card;
    link->dm_sendBuf = QByteArray(1, static_cast<char>(index));
    link->postCommand(CommandBuilder::SwitchPictureMode);
}

void Form_singleCard::sendAuto()
{
    emit link->send_out_time(ModeTimeoutMs);
    link->dm_index = card;
    link->postCommand(CommandBuilder::AutoAdjust);
}

template <typename Dialog>
void Form_singleCard::runAuxDialog(Dialog *dialog, void (Singleton_SerialPort::*changed)())
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(link, changed, dialog, &Dialog::InitPage);
    dialog->exec();
}

// ">>": the picture-in-picture dialog for the first mode group, the
// captions dialog for the second; each follows the device's confirmations
// while it is open and is deleted when it closes.
void Form_singleCard::openAuxDialog()
{
    switch (modeGroup()) {
    case PipGroup:
        runAuxDialog(new Dialog_Pip(isEnglish, card, this), &Singleton_SerialPort::repalceInCardPIP);
        break;
    case CaptionGroup:
        runAuxDialog(new Dialog_text(isEnglish, card, this), &Singleton_SerialPort::repalceInCardText);
        break;
    default:
        break;
    }
}
