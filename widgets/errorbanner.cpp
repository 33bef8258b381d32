#include "errorbanner.h"

#include "navlabel.h"

ErrorBanner::ErrorBanner(NavLabel *label, Options options, QObject *parent)
    : QObject(parent)
    , m_label(label)
    , m_options(options)
{
    m_label->raise(); // over the fields
    m_label->hide();
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ErrorBanner::hide);
}

void ErrorBanner::show(const QString &text)
{
    m_label->setText(text);
    if (m_options & Centred)
        m_label->move(m_label->parentWidget()->rect().center() - m_label->rect().center());
    m_label->show();
    if (m_options & DisablesWindow)
        m_label->window()->setEnabled(false);
    m_timer.start(ShownMs);
}

void ErrorBanner::hide()
{
    m_label->hide();
    if (m_options & DisablesWindow)
        m_label->window()->setEnabled(true);
}
