#ifndef DIALOG_WAIT_H
#define DIALOG_WAIT_H

#include <QDialog>

namespace Ui {
class Dialog_wait;
}

// The frameless page shown while a command waits for the device's answer;
// its opener closes it. A command of several exchanges also shows what it
// is doing and how far it has come.
class Dialog_wait : public QDialog
{
    Q_OBJECT

public:
    Dialog_wait(bool isEnglish, QWidget *parent);
    ~Dialog_wait() override;

public slots:
    void showProgress(const QString &text, int value, int maximum);

private:
    Ui::Dialog_wait *ui;
};

#endif // DIALOG_WAIT_H
