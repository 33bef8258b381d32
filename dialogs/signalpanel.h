#ifndef SIGNALPANEL_H
#define SIGNALPANEL_H

#include <QList>
#include <QObject>

class LightPoint;
class QPushButton;

// The four signal buttons of an input card (SDI, DVI, VGA, CVBS, in signal
// order) with their lamps: the lamp of the chosen signal shows, lit while
// the input carries a signal, and the buttons take the same look.
class SignalPanel : public QObject
{
    Q_OBJECT

public:
    SignalPanel(const QList<QPushButton *> &buttons, const QList<LightPoint *> &lamps,
                QObject *parent);

    // The lamp of the signal, none for a code without a lamp.
    void showSignal(int signal);
    // Lamps and buttons lit while the input carries a signal.
    void showLit(bool lit);
    // No lamp and plain buttons: no card in the slot.
    void clear();
    // The look of a signal button, lit or not.
    static QString buttonStyle(bool lit);

signals:
    void chosen(int signal);

private:
    QList<QPushButton *> m_buttons;
    QList<LightPoint *> m_lamps;
};

#endif // SIGNALPANEL_H
