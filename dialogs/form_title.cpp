#include "form_title.h"
#include "ui_form_title.h"

#include <bilingual.h>

#include <QPushButton>

Form_title::Form_title(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::Form_title)
{
    ui->setupUi(this);
    connect(ui->pushButton, &QPushButton::clicked, this, &Form_title::updataCard);
}

Form_title::~Form_title()
{
    delete ui;
}

void Form_title::setLanguage(bool isEnglish)
{
    const Bilingual text(isEnglish);
    ui->label->setText(text("Source", "信号源"));
    ui->pushButton->setText(text("Refresh", "刷新"));
}
