#ifndef LINKSIMCASE_H
#define LINKSIMCASE_H

#include <devicesimulator.h>

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class Singleton_SerialPort;
class SignalRecorder;

// What the tests of the link worker against the device simulator share:
// the worker, its recorded signals, a fresh simulator for each case and
// the transport a case's row names.
class LinkSimCase : public QObject
{
    Q_OBJECT

public:
    enum class Transport { Tcp, Pty };

protected slots:
    void initTestCase();
    void init();
    void cleanup();

protected:
    static constexpr int Wait = 10000;

    // A row for TCP, and one for the pseudo-terminal where there is one.
    static void addTransports();
    static Transport transport();
    // Connected to the simulator over the row's transport, signals cleared.
    void linkUp();
    bool waitFor(const QString &name, int count = 1, int timeoutMs = Wait);

    Singleton_SerialPort *m_link = nullptr;
    SignalRecorder *m_signals = nullptr;
    std::unique_ptr<DeviceSimulator> m_sim;
    QTemporaryDir m_dir;
};

Q_DECLARE_METATYPE(LinkSimCase::Transport)

#endif // LINKSIMCASE_H
