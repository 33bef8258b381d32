#ifndef DIALOG_TEXT_H
#define DIALOG_TEXT_H

#include <QDialog>
#include <QList>

#include <memory>

class LightPoint;
class SignalPanel;
class Singleton_SerialPort;

namespace Ui {
class Dialog_text;
}

// Captions of one input card: the caption signal, sent at once, and the
// threshold side and colour, sent with "Setting"; "Resetting" shows the
// record's values again.
class Dialog_text : public QDialog
{
    Q_OBJECT

public:
    Dialog_text(Singleton_SerialPort *deviceLink, bool isEnglish, int cardEntry, QWidget *parent);
    ~Dialog_text() override;

public slots:
    // Shows the record's entry; unsent changes are dropped.
    void InitPage();

private:
    void setTexts(bool isEnglish);
    void coupleColours();
    void connectButtons();
    void sendCaptionSignal(int signal);
    void sendCaptions();

    QList<LightPoint *> lamps;
    SignalPanel *m_signals;
    int card;
    Singleton_SerialPort *link;
    std::unique_ptr<Ui::Dialog_text> ui;
};

#endif // DIALOG_TEXT_H
