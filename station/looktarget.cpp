#include "looktarget.h"

#include <linkrequest.h>
#include <singleton_serialport.h>

LookTarget::LookTarget(const QString &name, Singleton_SerialPort *link, QObject *parent)
    : QObject(parent)
    , m_name(name)
    , m_link(link)
{
    connect(link, &Singleton_SerialPort::presetRecalled, this, &LookTarget::recallEnded);
}

bool LookTarget::linked() const
{
    return m_link->state()->isReady();
}

void LookTarget::recall(int preset)
{
    if (m_post)
        m_post(preset);
    else
        m_link->send(LinkRequest::recall(preset));
}

void LookTarget::follow(int preset)
{
    if (m_follow)
        m_follow(preset);
}
