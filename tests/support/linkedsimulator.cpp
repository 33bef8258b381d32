#include "linkedsimulator.h"

#include <singleton_serialport.h>

#include <QSignalSpy>
#include <QtTest>

namespace {

// The spy records from the worker's thread at once, so the signal may be in
// before the wait starts; the link state it follows reaches this thread
// queued, ahead of it.
bool waitForSignal(QSignalSpy &spy)
{
    const bool seen = !spy.isEmpty() || spy.wait(10000);
    QCoreApplication::processEvents();
    return seen;
}

} // namespace

LinkedSimulator::LinkedSimulator()
    : m_link(std::make_unique<Singleton_SerialPort>())
{
    m_sim.listenTcp();
}

LinkedSimulator::~LinkedSimulator()
{
    disconnectLink();
}

QStringList LinkedSimulator::tcpSettings(quint16 port)
{
    return {"0", "127.0.0.1", QString::number(port), "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"};
}

QStringList LinkedSimulator::serialSettings(const QString &port)
{
    return {"1", "", "0", "", "", "", port};
}

bool LinkedSimulator::connectLink()
{
    m_link->setLinkSettings(tcpSettings(m_sim.tcpPort()));
    QSignalSpy ended(m_link.get(), &Singleton_SerialPort::send_connect_end);
    m_link->postCommand(1);
    return waitForSignal(ended) && m_link->isConnected();
}

bool LinkedSimulator::disconnectLink()
{
    QSignalSpy ended(m_link.get(), &Singleton_SerialPort::send_connect_end);
    m_link->postCommand(2);
    return waitForSignal(ended) && m_link->queuedFrames() == 0;
}

bool LinkedSimulator::waitForRequests(int count, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_sim.requests().size() < count && !deadline.hasExpired())
        QTest::qWait(10);
    return m_sim.requests().size() >= count;
}

bool LinkedSimulator::waitForIdle(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_link->queuedFrames() > 0 && !deadline.hasExpired())
        QTest::qWait(10);
    return m_link->queuedFrames() == 0;
}

QByteArray LinkedSimulator::lastRequest() const
{
    const QByteArrayList all = m_sim.requests();
    return all.isEmpty() ? QByteArray() : all.last();
}

void LinkedSimulator::hangUpBeforeAnswering(quint8 code)
{
    FaultOptions mute;
    mute.muteCode = code;
    m_sim.setFaults(mute);
    QObject::connect(&m_sim, &DeviceSimulator::requestReceived, &m_hangUp, [this, code](const QByteArray &request) {
        if (quint8(request.at(8)) != code)
            return;
        QObject::disconnect(&m_sim, nullptr, &m_hangUp, nullptr);
        QTimer::singleShot(0, &m_hangUp, [this] { m_sim.hangUp(); });
    });
}
