#ifndef DIALOG_TRIMDATA_H
#define DIALOG_TRIMDATA_H

#include <bilingual.h>

#include <QDialog>
#include <QList>
#include <QRect>
#include <QRectF>

#include <memory>

class ErrorBanner;
class QLineEdit;

namespace Ui {
class Dialog_trimdata;
}

// Shows and edits a window's input rectangle (the part of the source
// picture used) and output rectangle (its place on the wall) in numbers;
// an accepted rectangle goes back to the canvas through a signal.
class Dialog_trimdata : public QDialog
{
    Q_OBJECT

public:
    explicit Dialog_trimdata(bool english, QWidget *parent = nullptr);
    ~Dialog_trimdata() override;

    // 11 ints: window, output x, y, w, h, output limits for x + w and
    // y + h, input x, y, w, h.
    void setData(const QList<int> &values);

signals:
    void setInRect(const int win, const QRect rect);
    void setOutRect(const int win, const QRectF rect);

private:
    void setTexts();
    void applyInput();
    void applyOutput();
    // Whether the fields' rectangle ends within the limits; shows the banner if not.
    bool fits(const QRect &rect, int right, int bottom);

    std::unique_ptr<Ui::Dialog_trimdata> ui;
    ErrorBanner *m_banner;
    Bilingual text;
    int winId = -1;
    int limitX = 0;
    int limitY = 0;
    QList<QLineEdit *> outEdits;
    QList<QLineEdit *> inEdits;
};

#endif // DIALOG_TRIMDATA_H
