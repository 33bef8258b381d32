#include "form_model.h"
#include "ui_form_model.h"

#include <devicedata.h>

Form_Model::Form_Model(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Form_Model)
{
    ui->setupUi(this);
    QStringList texts;
    for (int n = 1; n <= DeviceData::Presets; ++n)
        texts << tr("M%1").arg(n);
    ui->mybuttonbar->init(texts, false);
    connect(ui->mybuttonbar, &MyButtonBar::seleteCharge, this, &Form_Model::set_model);
}

Form_Model::~Form_Model()
{
    delete ui;
}

void Form_Model::setSelIndex(int index)
{
    ui->mybuttonbar->setSelIndex(index);
}

void Form_Model::setMyToolTip(const QString &tip)
{
    ui->mybuttonbar->setMyToolTip(tip);
}

void Form_Model::setMyToolTips(const QStringList &tips)
{
    ui->mybuttonbar->setMyToolTips(tips);
}

void Form_Model::setMark(int index, const QColor &colour, const QString &note)
{
    ui->mybuttonbar->setMark(index, colour, note);
}

void Form_Model::setOnAir(int index)
{
    ui->mybuttonbar->setOnAir(index);
}

void Form_Model::setShown(int index)
{
    ui->mybuttonbar->check(index);
}
