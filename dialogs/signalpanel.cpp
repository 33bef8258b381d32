#include "signalpanel.h"

#include <lightpoint.h>

#include <QPushButton>

#include <utility>

namespace {

const QColor LitLamp(85, 170, 255);
const QColor UnlitLamp(124, 124, 124);

} // namespace

SignalPanel::SignalPanel(const QList<QPushButton *> &buttons, const QList<LightPoint *> &lamps,
                         QObject *parent)
    : QObject(parent)
    , m_buttons(buttons)
    , m_lamps(lamps)
{
    for (int signal = 0; signal < m_buttons.size(); ++signal)
        connect(m_buttons[signal], &QPushButton::clicked, this, [this, signal] { emit chosen(signal); });
}

void SignalPanel::showSignal(int signal)
{
    for (int s = 0; s < m_lamps.size(); ++s)
        m_lamps[s]->setVisible(s == signal);
}

void SignalPanel::showLit(bool lit)
{
    for (LightPoint *lamp : std::as_const(m_lamps))
        lamp->setBgColor(lit ? LitLamp : UnlitLamp);
    for (QPushButton *button : std::as_const(m_buttons))
        button->setStyleSheet(buttonStyle(lit));
}

QString SignalPanel::buttonStyle(bool lit)
{
    return QString::fromLatin1(lit ? "background-color: rgb(85, 170, 255);"
                                   : "background-color: rgb(150, 150, 150);");
}

void SignalPanel::clear()
{
    for (LightPoint *lamp : std::as_const(m_lamps))
        lamp->hide();
    for (QPushButton *button : std::as_const(m_buttons))
        button->setStyleSheet(QString());
}
