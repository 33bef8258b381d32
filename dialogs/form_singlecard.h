#ifndef FORM_SINGLECARD_H
#define FORM_SINGLECARD_H

#include <QList>
#include <QWidget>

#include <memory>

class SignalPanel;
class Singleton_SerialPort;
struct InCardEntry;

namespace Ui {
class Form_singleCard;
}

// One input card slot of the input signals dialog. A two-channel card shows
// its two channel lamps; a one-channel card its signal buttons and lamps,
// the picture mode, "Auto" and ">>". The page shows what the record says
// and changes only through refresh(), after the device has confirmed.
class Form_singleCard : public QWidget
{
    Q_OBJECT

public:
    explicit Form_singleCard(Singleton_SerialPort *deviceLink, QWidget *parent = nullptr);
    ~Form_singleCard() override;

    void initCard(bool isEnglish, int card);
    void refresh();

public slots:
    void setStatu(int index);

private:
    const InCardEntry &entry() const;
    int modeGroup() const;
    void showTwoChannel(const InCardEntry &e);
    void showOneChannel(const InCardEntry &e);
    void openAuxDialog();
    template <typename Dialog>
    void runAuxDialog(Dialog *dialog, void (Singleton_SerialPort::*changed)());

    std::unique_ptr<Ui::Form_singleCard> ui;
    int card = 0;
    Singleton_SerialPort *link;
    SignalPanel *m_signals;
    bool isEnglish = true;
};

#endif // FORM_SINGLECARD_H
