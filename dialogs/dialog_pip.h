#ifndef DIALOG_PIP_H
#define DIALOG_PIP_H

#include <QDialog>
#include <QList>
#include <QStringList>

#include <memory>

class LightPoint;
class SignalPanel;
class QRect;
class QSpinBox;
class Singleton_SerialPort;
struct InCardEntry;

namespace Ui {
class Dialog_Pip;
}

// Picture in picture of one input card: the inset signal, sent at once, and
// the main and inset rectangles on the 1920 x 1080 output picture, dragged
// on the canvas or typed, sent with "Save".
class Dialog_Pip : public QDialog
{
    Q_OBJECT

public:
    Dialog_Pip(Singleton_SerialPort *deviceLink, bool isEnglish, int cardEntry, QWidget *parent);
    ~Dialog_Pip() override;

public slots:
    // Shows the record's entry; unsaved values are dropped.
    void InitPage();

private slots:
    void Rsp_PIP_number_value(int which);

private:
    const InCardEntry &entry() const;
    void setTexts(bool isEnglish);
    void connectControls();
    // H start, V start, width, height of the main (0) or inset (1) row.
    QList<QSpinBox *> spinRow(int row) const;
    void setRow(int row, const QRect &rect);
    QRect rowRect(int row) const;
    void showRow(int row);
    void sendPipSignal(int signal);
    void saveRects();
    QByteArray rectPayload(int row) const;

    QStringList m_texts; // message title, then the refusal of a rectangle
    bool m_settingRow = false;
    QList<LightPoint *> lamps;
    SignalPanel *m_signals;
    int card;
    Singleton_SerialPort *link;
    std::unique_ptr<Ui::Dialog_Pip> ui;
};

#endif // DIALOG_PIP_H
