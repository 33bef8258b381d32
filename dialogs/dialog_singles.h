#ifndef DIALOG_SINGLES_H
#define DIALOG_SINGLES_H

#include <QDialog>
#include <QList>

#include <memory>

class Form_singleCard;
class Singleton_SerialPort;

namespace Ui {
class Dialog_Singles;
}

// The input signals of the 24 input card slots: one page per slot, twelve
// on each of two tabs. A page is refreshed when the device confirms a new
// main signal or picture mode of its slot.
class Dialog_Singles : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog_Singles(Singleton_SerialPort *deviceLink, bool isEnglish, QWidget *parent = nullptr);
    ~Dialog_Singles() override;

signals:
    void chargeSingle();

public slots:
    void resetSingle(int id);

private:
    void buildPages(bool isEnglish);

    std::unique_ptr<Ui::Dialog_Singles> ui;
    QList<Form_singleCard *> pages;
    Singleton_SerialPort *link;
};

#endif // DIALOG_SINGLES_H
