// The main window against devices that are slow, silent, cut short, fast
// or gone, each from a fresh start.

#include "mainwindowcase.h"
#include "ptyskip.h"

#include <commandtype.h>
#include <devicedata.h>
#include <dialog_verify.h>
#include <dialog_wait.h>
#include <framebytes.h>
#include <linkedsimulator.h>
#include <mygraphicsview.h>
#include <settingsfile.h>
#include <simulatorthread.h>
#include <singleton_serialport.h>

#include <QDataStream>
#include <QDir>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <utility>

namespace {

// Four windows stacked on the first screen.
Preset stackOfFour()
{
    return MainWindowCase::presetOf({{0, 0, 1000, 600}, {200, 100, 1000, 600}, {400, 200, 1000, 600}, {600, 300, 1000, 600}});
}

int widthOfWindow0(const Preset &preset)
{
    return quint8(preset.windows.at(22)) | quint8(preset.windows.at(23)) << 8;
}

QRect window0In(const QByteArray &view)
{
    MyGraphicsView canvas;
    QDataStream in(view);
    return canvas.fileOpen(in) ? canvas.model().window(0).rect : QRect();
}

} // namespace

class TestMainWindowLink : public MainWindowCase
{
    Q_OBJECT

private slots:
    void silentDeviceTimesOut();
    void openChoiceGoesWithTheLink();
    void matchingTagWithoutLocalCopy();
    void stackedEditsReachTheDevice();
    void cutShortReadIsReadAgain();
    void cutShortSendIsTheOperatorsToWeigh();
    void lostWriteIsMarkedAndSyncAsks();
    void changedHereOutlivesARestart();
    void cutShortVerifyKeepsTheHostsData();
    void communicationTestOverAFastLink();
    void connectionReadShowsItsProgress();
    void linkDropClosesTheWaitPage_data();
    void linkDropClosesTheWaitPage();

private:
    MyGraphicsView *canvas() const { return m_driver.canvas(); }
    // The first window is dragged and the device never answers the move.
    void loseAMove(LinkedSimulator &sim);
};

// A device that never answers: the wait page gives up after the time-out
// announced, and as no connection ever completed the link is closed and
// nothing is written.
void TestMainWindowLink::silentDeviceTimesOut()
{
    SKIP_WITHOUT_PTY();
    QTemporaryDir devices;
    DeviceSimulator silent;
    FaultOptions neverAnswer;
    neverAnswer.dropEvery = 1;
    silent.setFaults(neverAnswer);
    QVERIFY(silent.openPty(devices.filePath("ttyRZ")));
    startAgainst(LinkedSimulator::serialSettings(silent.ptyPath()));
    QFile::remove(m_dir->filePath("infoCong.ini"));

    // The connection read is allowed 2 s instead of its 70.
    Singleton_SerialPort *link = this->link();
    QObject announcer;
    connect(link, &Singleton_SerialPort::send_out_time, &announcer, [link](int ms) {
        if (ms == Command::ReadAllWait)
            emit link->send_out_time(2000);
    }, Qt::DirectConnection);
    // Counted from the click, which comes before the request goes out: the
    // message cannot come before the request's one-second wait.
    QElapsedTimer clock;
    qint64 messageAt = -1;
    connect(&m_driver, &WindowDriver::dialogShown, &announcer, [&](QDialog *dialog) {
        if (!qobject_cast<Dialog_wait *>(dialog) && messageAt < 0)
            messageAt = clock.elapsed();
    });
    clock.start();
    m_driver.trigger("actionConnect");
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages.size(), 2, 20000);
    QCOMPARE(m_driver.messages, QStringList({"Send timeout, please try to resend", "opening failed"}));
    QVERIFY2(messageAt >= 1000, qPrintable(QString::number(messageAt)));
    QVERIFY(!link->isConnected());
    QVERIFY(!m_driver.viewsEnabled());
    m_driver.close();
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

// A verify's choice left open while the link drops is closed with it:
// nothing chosen on that read can be applied to the next one.
void TestMainWindowLink::openChoiceGoesWithTheLink()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    link()->setReconnects(false);
    QVERIFY(m_driver.connectDevice());
    bool shown = false, closedByTest = false;
    QObject guard;
    connect(&m_driver, &WindowDriver::dialogShown, &guard, [&](QDialog *dialog) {
        if (!qobject_cast<Dialog_Verify *>(dialog))
            return;
        shown = true;
        // Should the link not close it, the test does, and fails.
        QTimer::singleShot(15000, dialog, [&closedByTest, dialog] {
            closedByTest = true;
            dialog->reject();
        });
        sim.simulator().closeTcp();
    });
    m_driver.verifyChoices = QStringList{QString()};
    m_driver.trigger("actionVerify");
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages, QStringList({"opening failed"}), 20000);
    QVERIFY(m_driver.settle());
    QVERIFY(shown && !closedByTest);
    m_driver.close();
}

// The device's tag equals the host's but the host has no data file (a
// first start against a device that still has the default tag): the
// device's presets are read instead of leaving the views empty.
void TestMainWindowLink::matchingTagWithoutLocalCopy()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()), sim.model().tag);
    QVERIFY(m_driver.connectDevice());
    QTRY_COMPARE(FrameBytes::operatorRequests(sim.requests()).size(), 4 + 32);
    QVERIFY(m_driver.settle());
    QCOMPARE(FrameBytes::heads(FrameBytes::operatorRequests(sim.requests()).mid(0, 4)), QStringList({"1100", "1900", "1100", "1900"}));
    QCOMPARE(canvas()->model().count(), sim.model().presets[0].windowCount());
    m_driver.close();
}

// One edit sends several windows in one go: each frame carries its own
// window, so the device's preset follows every edit of a stack.
void TestMainWindowLink::stackedEditsReachTheDevice()
{
    LinkedSimulator sim;
    DeviceModel &device = sim.model();
    device.wall.setGrid({1920, 1920}, {1080, 1080});
    device.currentPreset = 0;
    device.presets[0] = stackOfFour();
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(canvas()->model().layers(), QList<int>({0, 1, 2, 3}));
    const auto deviceHoldsTheCanvas = [&] {
        const Preset &preset = device.presets[0];
        return preset.windows + preset.layers == canvas()->getAllData()
            && preset.sources == canvas()->getInData();
    };
    QVERIFY(deviceHoldsTheCanvas());

    canvas()->setButtonLayerWin(3);
    QVERIFY(m_driver.settle());
    QVERIFY(deviceHoldsTheCanvas());
    canvas()->setTopLayerWin(1);
    QVERIFY(m_driver.settle());
    QVERIFY(deviceHoldsTheCanvas());
    m_driver.click(QPointF(1050, 650)); // inside all four
    QCOMPARE(canvas()->selectedWindow(), 1);
    QTest::keyClick(canvas(), Qt::Key_Delete);
    QVERIFY(m_driver.settle());
    QCOMPARE(canvas()->model().layers(), QList<int>({3, 0, 2}));
    QVERIFY(deviceHoldsTheCanvas());
    QVERIFY(m_driver.messages.isEmpty());
    m_driver.close();
}

// The device hangs up in the middle of the preset reads: the host does
// not take over the device's tag, so after a restart the next connection
// reads every preset instead of trusting the half-read data.
void TestMainWindowLink::cutShortReadIsReadAgain()
{
    LinkedSimulator sim;
    FaultOptions hangUp;
    hangUp.hangUpAfter = 12;
    sim.simulator().setFaults(hangUp);
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    m_driver.trigger("actionConnect");
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages, QStringList({"opening failed"}), 20000);
    QVERIFY(m_driver.settle());

    sim.simulator().setFaults({});
    sim.simulator().clearRequests();
    QVERIFY(m_driver.open());
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(FrameBytes::heads(FrameBytes::operatorRequests(sim.requests())), FrameBytes::connectionRead(true));
    QCOMPARE(canvas()->model().count(), sim.model().presets[size_t(sim.model().currentPreset)].windowCount());
    m_driver.close();
}

// "Send mine" of two presets the operator did not change here is asked
// first, and of two presets and the current preset loses the link after
// the first preset: the next connection, by hand, keeps the host's
// presets, backs them up and asks, the preset not written defaulting to
// being sent and the current preset to the device's, and only that goes:
// nothing is recalled unasked.
void TestMainWindowLink::cutShortSendIsTheOperatorsToWeigh()
{
    LinkedSimulator sim;
    DeviceModel &device = sim.model();
    device.currentPreset = 0;
    for (size_t m : {0, 1})
        device.presets[m] = presetOf({{0, 0, 3840, 2160}});
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    link()->setReconnects(false);
    QVERIFY(m_driver.connectDevice());
    for (size_t m : {0, 1}) {
        QByteArray &windows = device.presets[m].windows;
        windows[22] = char(3000 & 0xFF);
        windows[23] = char(3000 >> 8);
    }
    device.currentPreset = 1;
    {
        // The device takes the first preset's frames, then the line goes
        // before the last reply is back.
        sim.hangUpBeforeAnswering(0x45);
        m_driver.verifyChoices = QStringList{"M1_mine, M2_mine, Current_mine, applyButton"};
        m_driver.trigger("actionVerify");
        QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages.size(), 2, 20000);
        QVERIFY(m_driver.settle());
        QVERIFY(m_driver.messages.first().startsWith(QStringLiteral("Write M1, M2 to the device?")));
        QCOMPARE(m_driver.messages.last(), QStringLiteral("opening failed"));
    }
    QCOMPARE(widthOfWindow0(device.presets[0]), 3840);
    QCOMPARE(widthOfWindow0(device.presets[1]), 3000);

    sim.simulator().setFaults({});
    const int before = FrameBytes::operatorRequests(sim.requests()).size();
    m_driver.verifyChoices = QStringList{"applyButton"};
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(m_driver.offered.at(1), QStringList({"M2=mine", "Current=device"}));
    QCOMPARE(m_driver.verified.at(1).at(1), QStringLiteral("M1: same"));
    QCOMPARE(m_driver.verified.at(1).at(2), QStringLiteral("M2: 1 window differs: Win1 resized"));
    QCOMPARE(QDir(m_dir->path()).entryList({"MyConfigure-*.pd"}).size(), 1);
    const QStringList verifyRead = FrameBytes::connectionRead(true);
    const QStringList sent = QStringList{"1100"} + verifyRead + QStringList{"4401", "4a01", "4501"} + verifyRead;
    QCOMPARE(FrameBytes::heads(FrameBytes::operatorRequests(sim.requests()).mid(before)), sent);
    QCOMPARE(m_driver.verified.last().at(0), QStringLiteral("16 of 16 presets verified"));
    QCOMPARE(window0In(link()->dm_data.modelView[1]).width(), 3840);
    QCOMPARE(widthOfWindow0(device.presets[1]), 3840);
    QCOMPARE(device.currentPreset, 1);
    m_driver.close();
}

void TestMainWindowLink::loseAMove(LinkedSimulator &sim)
{
    FaultOptions mute;
    mute.muteCode = 0x42;
    sim.simulator().setFaults(mute);
    m_driver.drag(QPointF(500, 300), QPointF(900, 700));
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages, QStringList({"Send timeout, please try to resend"}), 15000);
    QVERIFY(m_driver.settle());
}

// A window write the device never confirms turns its preset amber; Data
// Sync, which replaces it with the device's, asks first and keeps a backup.
void TestMainWindowLink::lostWriteIsMarkedAndSyncAsks()
{
    LinkedSimulator sim;
    sim.model().currentPreset = 0;
    sim.model().presets[0] = presetOf({{0, 0, 1000, 600}});
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(markOf(0), QStringLiteral("Confirmed on the device"));

    loseAMove(sim);
    QCOMPARE(markOf(0), QStringLiteral("Changed here since the last check"));

    sim.simulator().setFaults({});
    m_driver.messages.clear();
    m_driver.trigger("actionSync");
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.messages.size(), 1);
    QVERIFY(m_driver.messages.first().startsWith(QStringLiteral("Presets changed here may not be on the device: M1.")));
    QCOMPARE(QDir(m_dir->path()).entryList({"MyConfigure-*.pd"}).size(), 1);
    QCOMPARE(markOf(0), QStringLiteral("Confirmed on the device"));
    m_driver.close();
}

// A move the device never confirmed, then a restart, while the device's
// data changed elsewhere: the next connection does not read the device's
// presets over the operator's move, it asks, the move being sent by
// default.
void TestMainWindowLink::changedHereOutlivesARestart()
{
    LinkedSimulator sim;
    const Preset before = presetOf({{0, 0, 1000, 600}});
    sim.model().currentPreset = 0;
    sim.model().presets[0] = before;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    loseAMove(sim);
    const QRect moved = canvas()->model().window(0).rect;
    QVERIFY(moved.topLeft() != QPoint(0, 0));
    m_driver.close();

    sim.simulator().setFaults({});
    sim.simulator().hangUp();
    sim.model().presets[0] = before;
    sim.model().tag = QByteArray(8, 'd');
    QVERIFY(m_driver.open());
    QTRY_COMPARE(markOf(0), QStringLiteral("Changed here since the last check"));
    QVERIFY(canvas()->model().contains(0));
    QCOMPARE(canvas()->model().window(0).rect, moved);
    m_driver.verifyChoices = QStringList{"applyButton"};
    QVERIFY(m_driver.connectDevice());
    QVERIFY2(m_driver.offered.value(0).contains(QStringLiteral("M1=mine")), qPrintable(m_driver.offered.value(0).join(' ')));
    QCOMPARE(m_driver.verified.last().at(0), QStringLiteral("16 of 16 presets verified"));
    QVERIFY(canvas()->model().contains(0));
    QCOMPARE(canvas()->model().window(0).rect, moved);
    QCOMPARE(markOf(0), QStringLiteral("Confirmed on the device"));
    m_driver.close();
    QVERIFY(SettingsFile::changedPresets(SettingsFile::path()).isEmpty());
}

// A verify cut short leaves the host's data and tags as they were: the
// next connection, by hand, trusts the host's files and reads no preset.
void TestMainWindowLink::cutShortVerifyKeepsTheHostsData()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    link()->setReconnects(false);
    QVERIFY(m_driver.connectDevice());
    const DeviceData &record = link()->dm_data;
    const std::array<QByteArray, 16> views = record.modelView;
    FaultOptions hangUp;
    hangUp.hangUpAfter = sim.requests().size() + 10;
    sim.simulator().setFaults(hangUp);
    m_driver.trigger("actionVerify");
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages, QStringList({"opening failed"}), 20000);
    QVERIFY(m_driver.settle());

    sim.simulator().setFaults({});
    const int before = FrameBytes::operatorRequests(sim.requests()).size();
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(FrameBytes::heads(FrameBytes::operatorRequests(sim.requests()).mid(before)), FrameBytes::connectionRead(false));
    QVERIFY(record.modelView == views);
    QVERIFY(m_driver.verified.isEmpty());
    m_driver.close();
}

// The versions come back before the dialog could have been built: the
// communication test still shows every card's version.
void TestMainWindowLink::communicationTestOverAFastLink()
{
    SimulatorThread device;
    startAgainst(LinkedSimulator::tcpSettings(device.port()));
    QVERIFY(m_driver.connectDevice());
    m_driver.trigger("actionComTest");
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.dialogs.last(), QStringLiteral("Dialog_Test"));
    const DeviceData &record = link()->dm_data;
    QStringList expected, shown;
    const QList<DeviceData::CardStatus> inputs = record.cardStatusList(0), outputs = record.cardStatusList(1);
    for (int k = 0; k < 24; ++k)
        expected << inputs.at(k).text, shown << m_driver.fields.value(QStringLiteral("In%1Edit").arg(k + 1));
    for (int k = 0; k < 12; ++k)
        expected << outputs.at(k).text, shown << m_driver.fields.value(QStringLiteral("Out%1Edit").arg(k + 1));
    expected << record.cardStatusList(2).at(0).text;
    shown << m_driver.fields.value(QStringLiteral("sys1Edit"));
    QCOMPARE(shown, expected);
    QVERIFY(!expected.contains(QString()));
    m_driver.close();
}

// Over a line paced like 115200 baud the page counts the presets read up
// to 16 without going back, with an estimate of the time left.
void TestMainWindowLink::connectionReadShowsItsProgress()
{
    SKIP_WITHOUT_PTY();
    QTemporaryDir devices;
    DeviceSimulator device;
    device.setBaudRate(115200);
    QVERIFY(device.openPty(devices.filePath("ttyRZ")));
    startAgainst(LinkedSimulator::serialSettings(device.ptyPath()));
    QList<int> values;
    QStringList texts;
    int maximum = 0;
    connect(m_driver.window(), &MainWindow::waitProgress, this, [&](const QString &text, int value, int of) {
        values << value;
        texts << text;
        maximum = of;
    });
    QVERIFY(m_driver.connectDevice());
    QVERIFY(!values.isEmpty());
    QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
    QCOMPARE(values.last(), 16);
    QCOMPARE(maximum, 16);
    QVERIFY(texts.last().startsWith(QStringLiteral("Reading presets 16 of 16")));
    QCOMPARE(values.count(16), 1);
    const QString half = texts.at(int(std::lower_bound(values.cbegin(), values.cend(), 8) - values.cbegin()));
    QVERIFY2(half.contains(QRegularExpression(QStringLiteral("about \\d+ s left"))), qPrintable(half));

    // The verify counts the presets read after its two status reads.
    values.clear();
    texts.clear();
    m_driver.trigger("actionVerify");
    QVERIFY(m_driver.settle());
    QVERIFY(std::is_sorted(values.cbegin(), values.cend()));
    QCOMPARE(values.last(), 16);
    QCOMPARE(values.count(16), 1);
    QVERIFY(texts.last().startsWith(QStringLiteral("Verifying 16 of 16")));
    m_driver.close();
}

void TestMainWindowLink::linkDropClosesTheWaitPage_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("tcp") << false;
    if (HasPty)
        QTest::newRow("pty") << true;
}

// The link goes while a wait page is up: the page goes with it, the
// operator is told once, and no time-out follows. With reconnection
// switched off the views wait for a connection by hand.
void TestMainWindowLink::linkDropClosesTheWaitPage()
{
    QFETCH(bool, serial);
    QTemporaryDir devices;
    DeviceSimulator device;
    QVERIFY(device.listenTcp() && (!serial || device.openPty(devices.filePath("ttyRZ"))));
    startAgainst(serial ? LinkedSimulator::serialSettings(device.ptyPath())
                        : LinkedSimulator::tcpSettings(device.tcpPort()));
    link()->setReconnects(false);
    QVERIFY(m_driver.connectDevice());
    FaultOptions mute;
    mute.muteCode = 0x1C;
    device.setFaults(mute);
    m_driver.messages.clear();
    QElapsedTimer clock;
    qint64 droppedAt = -1, hiddenAt = -1;
    bool armed = true;
    QObject page;
    connect(&m_driver, &WindowDriver::dialogShown, &page, [&](QDialog *dialog) {
        if (qobject_cast<Dialog_wait *>(dialog) && std::exchange(armed, false))
            QTimer::singleShot(200, &page, [&] {
                droppedAt = clock.elapsed();
                serial ? device.closePty() : device.hangUp();
            });
    });
    connect(&m_driver, &WindowDriver::dialogHidden, &page, [&](QDialog *dialog) {
        if (qobject_cast<Dialog_wait *>(dialog) && droppedAt >= 0)
            hiddenAt = clock.elapsed();
    });
    clock.start();
    QTest::mouseClick(m_driver.child<QWidget>("Form_title")->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QTRY_VERIFY(hiddenAt >= 0);
    // With the drop, not at the request's time-out, seconds later.
    QVERIFY2(hiddenAt - droppedAt < Command::ShortWait - 2000, qPrintable(QString::number(hiddenAt - droppedAt)));
    QTest::qWait(5000); // past every resend and the page's time-out
    QCOMPARE(m_driver.messages, QStringList({"opening failed"}));
    QVERIFY(!m_driver.viewsEnabled());
    m_driver.close();
}

QTEST_MAIN(TestMainWindowLink)
#include "tst_mainwindowlink.moc"
