#ifndef FORM_INCARDSET_H
#define FORM_INCARDSET_H

#include <QDialog>

#include <memory>

class QSpinBox;
class Singleton_SerialPort;

namespace Ui {
class Form_InCardSet;
}

// Light, contrast and colour of one input, 0 to 100. Filled from the input
// card entry; a row's "Set" sends its value, "Reset" sends 50.
class Form_InCardSet : public QDialog
{
    Q_OBJECT

public:
    Form_InCardSet(Singleton_SerialPort *deviceLink, int inputNumber, bool isEnglish, QWidget *parent = nullptr);
    ~Form_InCardSet() override;

private slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_3_clicked();
    void on_pushButton_4_clicked();
    void on_pushButton_5_clicked();
    void on_pushButton_6_clicked();

private:
    enum Row { Light, Contrast, Colour, RowCount };

    void coupleRows();
    void fillFromRecord();
    void setTexts(bool isEnglish);
    QSpinBox *spinBoxOf(Row row) const;
    void sendRow(Row row);
    void resetRow(Row row);

    std::unique_ptr<Ui::Form_InCardSet> ui;
    int inputNumber;
    Singleton_SerialPort *link;
    int cardEntry;
};

#endif // FORM_INCARDSET_H
