#include "dialog_wait.h"
#include "ui_dialog_wait.h"

#include <bilingual.h>

Dialog_wait::Dialog_wait(bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_wait)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    ui->label->setText(Bilingual(isEnglish)("Sending in progress......", "正在发送......"));
    ui->progressBar->hide();
}

// The page grows by the bar's height the first time it shows progress.
void Dialog_wait::showProgress(const QString &text, int value, int maximum)
{
    ui->label->setText(text);
    ui->progressBar->setRange(0, maximum);
    ui->progressBar->setValue(value);
    if (ui->progressBar->isHidden()) {
        ui->progressBar->show();
        setFixedHeight(height() + ui->progressBar->sizeHint().height()
                       + layout()->spacing());
    }
}

Dialog_wait::~Dialog_wait()
{
    delete ui;
}
