#ifndef FORM_MODEL_H
#define FORM_MODEL_H

#include <QColor>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace Ui {
class Form_Model;
}

// The preset bar of the main window: one button per preset, M1 to M16, each
// with the preset's name as its tool tip.
class Form_Model : public QWidget
{
    Q_OBJECT

public:
    explicit Form_Model(QWidget *parent = nullptr);
    ~Form_Model() override;

    void setSelIndex(int index);
    void setMyToolTip(const QString &tip);
    void setMyToolTips(const QStringList &tips);
    void setMark(int index, const QColor &colour, const QString &note);
    // The preset on air, -1 for none shown as such.
    void setOnAir(int index);
    // The preset on the canvas, checked without a word.
    void setShown(int index);

signals:
    void set_model(int index);

private:
    Ui::Form_Model *ui;
};

#endif // FORM_MODEL_H
