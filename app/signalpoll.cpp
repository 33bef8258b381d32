#include "signalpoll.h"

#include "applog.h"

#include <singleton_serialport.h>

SignalPoll::SignalPoll(Singleton_SerialPort *link, std::function<bool()> busy, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_busy(std::move(busy))
{
    m_timer.setInterval(IntervalMs);
    connect(&m_timer, &QTimer::timeout, this, &SignalPoll::pollNow);
    m_timer.start();
}

bool SignalPoll::mayRead() const
{
    return m_link->state()->isReady() && !m_reply && !m_busy();
}

void SignalPoll::pollNow()
{
    if (!mayRead())
        return;
    m_reply = m_link->send(LinkRequest::readSignalFlags().inBackground());
    connect(m_reply, &LinkReply::finished, this, [this, reply = m_reply] {
        if (reply->error() == LinkReply::NoError)
            emit read();
        else
            qCDebug(lcApp) << "signal read unanswered";
    });
}
