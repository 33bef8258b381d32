#ifndef TRIMMING_H
#define TRIMMING_H

#include <bilingual.h>

#include <QDialog>
#include <QList>

#include <memory>

class ErrorBanner;
class QLineEdit;

namespace Ui {
class Trimming;
}

// Fine-tunes one window of the layout, one screen section at a time: the
// part of the input picture used and where it lands on the output. An
// accepted section goes back to the canvas through endTrim.
class Trimming : public QDialog
{
    Q_OBJECT

public:
    explicit Trimming(bool english, QWidget *parent = nullptr);
    ~Trimming() override;

    // values: 10 ints per screen section (screen, channel, input x, y, w, h,
    // output x, y, w, h); the output limits follow from the output size.
    void initTrim(int id, const QList<int> &values, int outWidth, int outHeight);

signals:
    // value: input x, y, w, h, then output x, y, w, h.
    void endTrim(const int id, const int led, const QList<int> value);

private slots:
    void on_ledBox_currentIndexChanged(int index);
    void on_setButton_clicked();

private:
    void setTexts();
    QString check(const QList<int> &v) const; // the first failed rule's message, empty if none

    std::unique_ptr<Ui::Trimming> ui;
    int maxOutX = 0;
    int maxOutY = 0;
    ErrorBanner *m_banner;
    Bilingual text;
    QList<int> trimValues;
    QList<QLineEdit *> edits;
    int currentLed = -1;
    int winId = -1;
};

#endif // TRIMMING_H
