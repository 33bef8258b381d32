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

bool LookTarget::recall(int preset)
{
    if (m_post)
        return m_post(preset);
    m_link->send(LinkRequest::recall(preset));
    return true;
}

void LookTarget::follow(int preset)
{
    if (m_follow)
        m_follow(preset);
}
