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
}

void Reconnector::start()
{
    m_active = true;
    m_trying = false;
    m_attempt = 1;
    wait();
}

void Reconnector::stop()
{
    m_ticker.stop();
    m_active = false;
    emit changed();
}

bool Reconnector::attemptEnded(bool linked)
{
    if (!m_trying)
        return false;
    m_trying = false;
    if (linked || !m_active) {
        stop();
        return true;
    }
    qCInfo(lcApp) << "reconnection attempt" << m_attempt << "failed";
    ++m_attempt;
    wait();
    return true;
}

void Reconnector::handOver()
{
    m_trying = false;
    stop();
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
