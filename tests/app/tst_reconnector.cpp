// A link that drops comes back by itself: the device switched off and on
// again over TCP, the serial adapter pulled and plugged in again.

#include "mainwindowcase.h"
#include "ptyskip.h"

#include <dialog_wait.h>
#include <linkedsimulator.h>
#include <mygraphicsview.h>
#include <reconnectstatus.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class TestReconnector : public MainWindowCase
{
    Q_OBJECT

private slots:
    void linkComesBackByItself_data();
    void linkComesBackByItself();
    void stopEndsTheAttempts();
};

void TestReconnector::linkComesBackByItself_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("tcp") << false;
    if (HasPty)
        QTest::newRow("pty") << true;
}

// Gone for 5 s: the operator is told once, edits offline meanwhile, sees
// the attempts in the status bar and no wait page for them; the link is
// back within 8 s with no action, and the edit is offered at once.
void TestReconnector::linkComesBackByItself()
{
    QFETCH(bool, serial);
    QTemporaryDir devices;
    DeviceSimulator device;
    QVERIFY(device.listenTcp() && (!serial || device.openPty(devices.filePath("ttyRZ"))));
    const quint16 port = device.tcpPort();
    const QString path = device.ptyPath();
    startAgainst(serial ? LinkedSimulator::serialSettings(path) : LinkedSimulator::tcpSettings(port));
    QVERIFY(m_driver.connectDevice());
    Singleton_SerialPort *link = this->link();
    const QLabel *status = m_driver.child<ReconnectStatus>("ReconnectStatus")->findChild<QLabel *>("label");

    int waitPages = 0;
    QObject watcher;
    connect(&m_driver, &WindowDriver::dialogShown, &watcher, [&](QDialog *dialog) {
        waitPages += qobject_cast<Dialog_wait *>(dialog) ? 1 : 0;
    });
    serial ? device.closePty() : device.closeTcp();
    QTRY_COMPARE(m_driver.messages, QStringList({"opening failed"}));
    QVERIFY(m_driver.viewsEnabled());
    QTRY_COMPARE(status->text(), QStringLiteral("Reconnecting in 2 s (attempt 2)"));
    QVERIFY(status->isVisible());

    const int shown = m_driver.shownPreset();
    m_driver.drop(3, m_driver.canvas()->model().grid().screenRect(3).center());
    QVERIFY(m_driver.settle());
    QTest::qWait(5000 - 1000);
    QVERIFY(!link->isConnected());
    QCOMPARE(waitPages, 0);

    QElapsedTimer clock;
    clock.start();
    QVERIFY(serial ? device.openPty(path) : device.listenTcp(port));
    QTRY_VERIFY_WITH_TIMEOUT(link->isConnected(), 8000);
    QVERIFY2(clock.elapsed() < 8000, qPrintable(QString::number(clock.elapsed())));
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.offered.size(), 1, 20000);
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.offered.first(), QStringList({QStringLiteral("M%1=mine").arg(shown + 1)}));
    QCOMPARE(m_driver.messages, QStringList({"opening failed"}));
    QVERIFY(!status->isVisible());
    QVERIFY(m_driver.viewsEnabled());
    m_driver.close();
}

// Stop in the status bar ends the attempts: the device that comes back is
// not connected to.
void TestReconnector::stopEndsTheAttempts()
{
    DeviceSimulator device;
    QVERIFY(device.listenTcp());
    const quint16 port = device.tcpPort();
    startAgainst(LinkedSimulator::tcpSettings(port));
    QVERIFY(m_driver.connectDevice());
    auto *status = m_driver.child<ReconnectStatus>("ReconnectStatus");
    device.closeTcp();
    QTRY_VERIFY(status->isVisible());
    QVERIFY(device.listenTcp(port));
    QTest::mouseClick(status->findChild<QAbstractButton *>("stopButton"), Qt::LeftButton);
    QVERIFY(!status->isVisible());
    QTest::qWait(3000);
    QVERIFY(!link()->isConnected());
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(m_driver.messages, QStringList({"opening failed"}));
    m_driver.close();
}

QTEST_MAIN(TestReconnector)
#include "tst_reconnector.moc"
