#include "reconnector.h"

#include "applog.h"

#include <commandtype.h>
#include <singleton_serialport.h>

namespace {

constexpr int TickMs = 1000;
constexpr int LongestWaitS = 30;

// 1, 2, 4, 8, 16, then 30 s before attempt n.
int waitBefore(int attempt)
{
    return attempt <= 5 ? 1 << (attempt - 1) : LongestWaitS;
}

} // namespace

Reconnector::Reconnector(Singleton_SerialPort *link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_ticker.setInterval(TickMs);
    connect(&m_ticker, &QTimer::timeout, this, &Reconnector::tick);
    connect(link->state(), &LinkStateModel::stateChanged, this, &Reconnector::stateChanged);
    // After the link state has taken the report: a failed attempt leaves
    // it Reconnecting, a good one moves it on.
    connect(link, &Singleton_SerialPort::linkStateChanged, this, &Reconnector::attemptEnded);
}

bool Reconnector::isActive() const
{
    return m_link->state()->state() == LinkStateModel::State::Reconnecting;
}

void Reconnector::start()
{
    m_trying = false;
    m_attempt = 1;
    m_link->state()->handle(LinkStateModel::Event::Retry);
    wait();
}

void Reconnector::stop()
{
    if (isActive())
        m_link->postCommand(Command::Disconnect);
}

void Reconnector::handOver()
{
    m_link->state()->handle(LinkStateModel::Event::OpenAsked);
}

void Reconnector::attemptEnded(bool linked)
{
    if (!m_trying || linked || !isActive())
        return;
    m_trying = false;
    qCInfo(lcApp) << "reconnection attempt" << m_attempt << "failed";
    ++m_attempt;
    wait();
}

void Reconnector::stateChanged()
{
    if (isActive())
        return;
    m_ticker.stop();
    m_trying = false;
    emit changed();
}

void Reconnector::wait()
{
    m_secondsLeft = waitBefore(m_attempt);
    m_ticker.start();
    emit changed();
}

// Switched off meanwhile in the communication settings: no more attempts.
void Reconnector::tick()
{
    if (!m_link->reconnects())
        return stop();
    if (--m_secondsLeft > 0) {
        emit changed();
        return;
    }
    m_ticker.stop();
    m_trying = true;
    emit changed();
    m_link->postCommand(Command::Reconnect);
}
