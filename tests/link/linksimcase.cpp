#include "linksimcase.h"

#include <commandtype.h>
#include <singleton_serialport.h>

#include "linkedsimulator.h"
#include "ptyskip.h"
#include "signalrecorder.h"

#include <QtTest>

void LinkSimCase::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_link = new Singleton_SerialPort(this);
    m_signals = new SignalRecorder(m_link, {"linkStateChanged", "send_out_time"}, this);
}

void LinkSimCase::init()
{
    m_sim = std::make_unique<DeviceSimulator>();
    QVERIFY(m_sim->listenTcp());
    QVERIFY(!HasPty || m_sim->openPty(m_dir.filePath(QStringLiteral("ttyRZ"))));
    emit m_link->send_out_time(Command::ShortWait);
    m_signals->clear();
}

void LinkSimCase::cleanup()
{
    m_signals->clear();
    m_link->postCommand(Command::Disconnect);
    QVERIFY(waitFor(QStringLiteral("send_connect_end")));
    QCOMPARE(m_link->queuedFrames(), 0);
    m_sim.reset();
}

void LinkSimCase::addTransports()
{
    QTest::addColumn<Transport>("transport");
    QTest::newRow("tcp") << Transport::Tcp;
    if (HasPty)
        QTest::newRow("pty") << Transport::Pty;
}

// Over the row's transport, TCP for a test without rows.
LinkSimCase::Transport LinkSimCase::transport()
{
    if (!QTest::currentDataTag())
        return Transport::Tcp;
    QFETCH(Transport, transport);
    return transport;
}

void LinkSimCase::linkUp()
{
    m_link->setLinkSettings(transport() == Transport::Tcp ? LinkedSimulator::tcpSettings(m_sim->tcpPort())
                                                        : LinkedSimulator::serialSettings(m_sim->ptyPath()));
    m_link->postCommand(Command::Connect);
    QVERIFY(waitFor(QStringLiteral("send_connect_end")));
    QVERIFY(m_link->isConnected());
    m_signals->clear();
}

bool LinkSimCase::waitFor(const QString &name, int count, int timeoutMs)
{
    return QTest::qWaitFor([&] { return m_signals->count(name) >= count; }, timeoutMs);
}
