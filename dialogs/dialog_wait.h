#ifndef DIALOG_WAIT_H
#define DIALOG_WAIT_H

#include <QDialog>

namespace Ui {
class Dialog_wait;
}

// The frameless page shown while a command waits for the device's answer;
// its opener closes it.
class Dialog_wait : public QDialog
{
    Q_OBJECT

public:
    Dialog_wait(bool isEnglish, QWidget *parent);
    ~Dialog_wait() override;

private:
    Ui::Dialog_wait *ui;
};

#endif // DIALOG_WAIT_H
