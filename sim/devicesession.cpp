#include "devicesession.h"

namespace {

// Pause between the pieces of a split reply, long enough for the host to
// read each piece on its own.
constexpr int PieceGapMs = 5;

} // namespace

DeviceSession::DeviceSession(Link link, QObject *parent)
    : QObject(parent)
    , m_link(link)
{
    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &DeviceSession::runStep);
    connect(&m_incoming, &BytePacer::released, this, &DeviceSession::takeRequests);
    connect(&m_outgoing, &BytePacer::released, this, &DeviceSession::transmit);
    connect(&m_outgoing, &BytePacer::drained, this, &DeviceSession::closeIfSent);
}

void DeviceSession::setBaudRate(int baud)
{
    m_incoming.setBaudRate(baud);
    m_outgoing.setBaudRate(baud);
}

void DeviceSession::receive(const QByteArray &bytes)
{
    m_incoming.push(bytes);
}

void DeviceSession::sendReply(const QByteArrayList &pieces, int delayMs)
{
    for (int i = 0; i < pieces.size(); ++i)
        m_steps.append({i == 0 ? delayMs : PieceGapMs, pieces.at(i), false});
    startNextStep();
}

void DeviceSession::sendOutOfTurn(const QByteArrayList &pieces, int delayMs)
{
    QTimer::singleShot(delayMs, this, [this, pieces] {
        if (!m_closing)
            m_outgoing.push(pieces.join());
    });
}

void DeviceSession::closeWhenSent()
{
    m_steps.append({0, {}, true});
    startNextStep();
}

void DeviceSession::takeRequests(const QByteArray &bytes)
{
    m_splitter.append(bytes);
    QByteArray request;
    while (!m_closing && m_splitter.takeRequest(&request))
        emit requestReceived(request, ++m_requestCount);
}

void DeviceSession::startNextStep()
{
    if (!m_stepTimer.isActive() && !m_steps.isEmpty())
        m_stepTimer.start(m_steps.constFirst().waitMs);
}

void DeviceSession::runStep()
{
    const Step step = m_steps.takeFirst();
    if (step.close) {
        m_closing = true;
        m_steps.clear();
        closeIfSent();
        return;
    }
    m_outgoing.push(step.bytes);
    startNextStep();
}

void DeviceSession::closeIfSent()
{
    if (m_closing && m_outgoing.isIdle())
        emit closeDue();
}
