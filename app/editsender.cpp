#include "editsender.h"

#include "presetstore.h"

#include <mygraphicsview.h>
#include <singleton_serialport.h>

EditSender::EditSender(Singleton_SerialPort *link, PresetStore *presets, MyGraphicsView *canvas, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_presets(presets)
{
    connect(canvas, &MyGraphicsView::s_win_single, this, &EditSender::setSource);
    connect(canvas, &MyGraphicsView::s_allMessage, this, &EditSender::writeWindows);
    connect(canvas, &MyGraphicsView::s_delteAll, this, &EditSender::deleteWindows);
}

void EditSender::setSource(const QByteArray &windowAndInput)
{
    emit sourceSet(quint8(windowAndInput.at(0)), quint8(windowAndInput.at(1)));
    if (m_presets->shown() != -1)
        m_link->send(LinkRequest::setWindowSource(m_presets->shown(), windowAndInput));
}

void EditSender::writeWindows(const QByteArray &windows)
{
    if (m_presets->shown() != -1)
        m_link->send(LinkRequest::writeWindows(m_presets->shown(), windows));
}

void EditSender::deleteWindows()
{
    if (m_presets->shown() != -1)
        m_link->send(LinkRequest::deleteWindows(m_presets->shown()));
}
