#include "dialog_wait.h"
#include "ui_dialog_wait.h"

Dialog_wait::Dialog_wait(bool isEnglish, QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::Dialog_wait)
{
    ui->setupUi(this);
    setWindowFlags(Qt::FramelessWindowHint);
    ui->label->setText(isEnglish ? QStringLiteral("Sending in progress......")
                                 : QString::fromUtf8("正在发送......"));
}

Dialog_wait::~Dialog_wait()
{
    delete ui;
}
