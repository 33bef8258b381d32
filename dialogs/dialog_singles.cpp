#include "dialog_singles.h"
#include "ui_dialog_singles.h"

#include <bilingual.h>
#include <devicelimits.h>

#include "form_singlecard.h"

#include <singleton_serialport.h>

namespace {

constexpr int CardCount = Limits::InputSlots;
constexpr int CardsPerTab = 12;
constexpr int PageLeft[] = {10, 500};
constexpr int PageTop = 10;
constexpr int RowPitch = 100;

// widget, widget_2 ... widget_24, as the form names its pages.
QString pageName(int card)
{
    return card == 0 ? QStringLiteral("widget") : QStringLiteral("widget_%1").arg(card + 1);
}

} // namespace

Dialog_Singles::Dialog_Singles(bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_Singles)
    , link(Singleton_SerialPort::instance())
{
    ui->setupUi(this);
    buildPages(isEnglish);
    connect(link, &Singleton_SerialPort::repalceInCardMainSingle, this,
            &Dialog_Singles::resetSingle);
    setWindowTitle(Bilingual(isEnglish)("Input Singles", "输入卡信号"));
}

Dialog_Singles::~Dialog_Singles() = default;

// Pages in card order, two to a row: card 1 top left, card 2 top right.
void Dialog_Singles::buildPages(bool isEnglish)
{
    for (int card = 0; card < CardCount; ++card) {
        QWidget *tab = card < CardsPerTab ? ui->tab : ui->tab_2;
        const int slot = card % CardsPerTab;
        auto *page = new Form_singleCard(tab);
        page->setObjectName(pageName(card));
        page->move(PageLeft[slot % 2], PageTop + RowPitch * (slot / 2));
        pages.append(page);
        page->initCard(isEnglish, card);
    }
}

// The worker reports entries 0 to 31; only 0 to 23 have a page.
void Dialog_Singles::resetSingle(int id)
{
    if (id >= 0 && id < pages.size())
        pages[id]->refresh();
}
