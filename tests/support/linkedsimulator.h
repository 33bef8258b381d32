#ifndef LINKEDSIMULATOR_H
#define LINKEDSIMULATOR_H

#include <devicesimulator.h>

#include <QByteArrayList>
#include <QObject>
#include <QStringList>

#include <memory>

class Singleton_SerialPort;

// A link of its own connected over TCP loopback to an in-process device
// simulator, for tests of code that talks to the device. The simulator runs
// in the test's thread: wait with the functions below (they spin the event
// loop), never by sleeping.
class LinkedSimulator
{
public:
    LinkedSimulator();
    ~LinkedSimulator();

    // The link's settings for a device on TCP loopback, or on a serial port.
    static QStringList tcpSettings(quint16 port);
    static QStringList serialSettings(const QString &port);

    DeviceSimulator &simulator() { return m_sim; }
    DeviceModel &model() { return m_sim.model(); }
    Singleton_SerialPort *link() const { return m_link.get(); }

    // Connects the worker; false when the link did not come up.
    bool connectLink();
    // Disconnects and waits until the worker has nothing queued.
    bool disconnectLink();
    // Waits until the simulator has received at least count requests.
    bool waitForRequests(int count, int timeoutMs = 10000);
    // Waits until the worker's queue has run empty (the wait page closed).
    bool waitForIdle(int timeoutMs = 10000);
    QByteArrayList requests() const { return m_sim.requests(); }
    QByteArray lastRequest() const;
    // The device acts on requests with this command code but answers none,
    // and the line goes as soon as the first has arrived.
    void hangUpBeforeAnswering(quint8 code);

private:
    DeviceSimulator m_sim;
    QObject m_hangUp; // holds what hangUpBeforeAnswering connected
    std::unique_ptr<Singleton_SerialPort> m_link; // closed before the simulator goes
};

#endif // LINKEDSIMULATOR_H
