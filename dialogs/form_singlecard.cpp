#include "form_singlecard.h"
#include "ui_form_singlecard.h"

#include "dialog_pip.h"
#include "dialog_text.h"
#include "signalpanel.h"

#include <bilingual.h>
#include <modes.h>
#include <singleton_serialport.h>

namespace {

constexpr int VgaSignal = 2;

QString styleOf(int flag)
{
    return SignalPanel::buttonStyle(flag != 0);
}

} // namespace

Form_singleCard::Form_singleCard(Singleton_SerialPort *deviceLink, QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Form_singleCard)
    , link(deviceLink)
{
    ui->setupUi(this);
    m_signals = new SignalPanel({ui->pushButton_2, ui->pushButton_3, ui->pushButton_4, ui->pushButton_5},
                                {ui->lightpoint, ui->lightpoint_2, ui->lightpoint_3, ui->lightpoint_4}, this);
    m_signals->clear(); // only a fitted one-channel card lights a lamp
    connect(m_signals, &SignalPanel::chosen, this, [this](int signal) {
        link->send(LinkRequest::setMainSignal(card, signal));
    });
    connect(ui->but_auto_1, &QPushButton::clicked, this,
            [this] { link->send(LinkRequest::autoAdjust(card)); });
    connect(ui->but_to_1, &QPushButton::clicked, this, &Form_singleCard::openAuxDialog);
    connect(ui->com_model_1, QOverload<int>::of(&QComboBox::activated), this,
            &Form_singleCard::setStatu);
}

Form_singleCard::~Form_singleCard() = default;

void Form_singleCard::initCard(bool english, int cardEntry)
{
    card = cardEntry;
    isEnglish = english;
    const Bilingual text(isEnglish);
    ui->com_model_1->clear();
    ui->com_model_1->addItems({text("Single picture", "单画面"), text("PIP", "双画面"), text("Captions", "字幕")});
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
    return Modes::groupOf(entry().mode);
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
    if (e.present == 0) {
        m_signals->clear();
        return;
    }
    m_signals->showSignal(e.mainSignal);
    m_signals->showLit(e.sigFlagA != 0);
    ui->com_model_1->setCurrentIndex(modeGroup());
    ui->but_to_1->setEnabled(modeGroup() != 0);
    ui->but_auto_1->setEnabled(e.mainSignal == VgaSignal);
}

void Form_singleCard::setStatu(int index)
{
    if (index != modeGroup())
        link->send(LinkRequest::switchPictureMode(card, entry().mode, index));
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
    case Modes::PipGroup:
        runAuxDialog(new Dialog_Pip(link, isEnglish, card, this), &Singleton_SerialPort::repalceInCardPIP);
        break;
    case Modes::CaptionGroup:
        runAuxDialog(new Dialog_text(link, isEnglish, card, this), &Singleton_SerialPort::repalceInCardText);
        break;
    default:
        break;
    }
}
