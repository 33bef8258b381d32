#ifndef FORM_TITLE_H
#define FORM_TITLE_H

#include <QWidget>

namespace Ui {
class Form_title;
}

// Title bar of the source dock: its caption and a button that asks for the
// input signal state again.
class Form_title : public QWidget
{
    Q_OBJECT

public:
    explicit Form_title(QWidget *parent = nullptr);
    ~Form_title() override;

    void setLanguage(bool isEnglish);

signals:
    void updataCard();

private:
    Ui::Form_title *ui;
};

#endif // FORM_TITLE_H
