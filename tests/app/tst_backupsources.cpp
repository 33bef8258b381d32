// Backup sources end to end: the window against the simulator over TCP and
// the pseudo-terminal, its signals cut and restored there; the device gets
// each switch once, the host's preset keeps its main input throughout.

#include "mainwindowcase.h"

#include <backupsources.h>
#include <framebytes.h>
#include <linkedsimulator.h>
#include <mainwindow.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <operatoractions.h>
#include <preset.h>
#include <ptyskip.h>
#include <signalpoll.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QDialog>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QTimer>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

using FrameBytes::heads;

namespace {

// Windows 0, 1, 2 of preset 0 show inputs 1 (no signal), 2 and 3.
constexpr int Window = 1;
constexpr int Main = 2;
constexpr int DeadBackup = 1;
constexpr int Backup = 3;
constexpr int Wait = 15000;

QString sourceFrame(int preset, int window, int input)
{
    return QString::fromLatin1(QByteArray(1, char(0x48)).toHex() + QByteArray(1, char(preset)).toHex()
                               + QByteArray(1, char(window)).toHex() + QByteArray(1, char(input)).toHex());
}

} // namespace

class TestBackupSources : public MainWindowCase
{
    Q_OBJECT

private slots:
    void lostInputSwitchesOnceAndReturns_data();
    void lostInputSwitchesOnceAndReturns();
    void manualReturnWaitsForTheOperator();
    void recallPutsTheOldPresetBack();
    void pollWaitsForTheOperatorsTransfer();

private:
    // Linked over the transport with preset 0 on air and the entry of the
    // window's main input; the first reads of the signals in.
    void linkUp(LinkedSimulator &sim, BackupTable::Return mode, bool pty = false);
    // The switches of sources the device received, as "48 preset window input".
    QStringList switches(const LinkedSimulator &sim) const;
    QStringList canvasNotes() const;
    // The input the host's stored preset 0 gives the window.
    int storedInput() const;
    void cutMain(LinkedSimulator &sim);
};

void TestBackupSources::linkUp(LinkedSimulator &sim, BackupTable::Return mode, bool pty)
{
    sim.model().currentPreset = 0;
    sim.model().presets[0] = presetOf({{0, 0, 1000, 600}, {1000, 0, 1000, 600}, {0, 600, 1000, 600}});
    if (pty) {
        QVERIFY(sim.simulator().openPty());
        startAgainst(LinkedSimulator::serialSettings(sim.simulator().ptyPath()));
    } else {
        startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    }
    m_driver.window()->backups()->setEntries({{1, Main, {DeadBackup, Backup}, mode, 1}});
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(storedInput(), Main);
    QVERIFY(QTest::qWaitFor([&sim] { return heads(sim.requests()).contains(QStringLiteral("1c00")); }, Wait));
}

// The notes of the canvas's windows on backups.
QStringList TestBackupSources::canvasNotes() const
{
    QStringList notes;
    const QList<QGraphicsItem *> items = m_driver.canvas()->scene()->items();
    for (const QGraphicsItem *item : items) {
        if (!item->toolTip().isEmpty())
            notes << item->toolTip();
    }
    return notes;
}

QStringList TestBackupSources::switches(const LinkedSimulator &sim) const
{
    QStringList said;
    for (const QByteArray &request : sim.requests()) {
        if (quint8(request.at(8)) == 0x48)
            said << QString::fromLatin1(request.mid(8, 4).toHex());
    }
    return said;
}

int TestBackupSources::storedInput() const
{
    const QList<RemoteActions::Window> windows = m_driver.window()->actions()->windows(0);
    for (const RemoteActions::Window &window : windows) {
        if (window.window == Window)
            return window.input;
    }
    return -1;
}

// The first backup has no signal either: the second takes over.
void TestBackupSources::cutMain(LinkedSimulator &sim)
{
    QVERIFY(sim.simulator().setSignal(Main, false));
    QVERIFY(QTest::qWaitFor([&] { return switches(sim).size() == 1; }, Wait));
    QCOMPARE(switches(sim), QStringList{sourceFrame(0, Window, Backup)});
}

void TestBackupSources::lostInputSwitchesOnceAndReturns_data()
{
    QTest::addColumn<bool>("pty");
    QTest::newRow("tcp") << false;
    if (HasPty)
        QTest::newRow("pty") << true;
}

// Told once, in the window list and the status bar; no wait page, no
// message box, no mark; back to the main once it is stable.
void TestBackupSources::lostInputSwitchesOnceAndReturns()
{
    QFETCH(bool, pty);
    LinkedSimulator sim;
    linkUp(sim, BackupTable::Return::Auto, pty);
    QSignalSpy pages(link(), &Singleton_SerialPort::setWaitPage);
    QSignalSpy told(m_driver.window()->actions(), &RemoteActions::sourceSwitched);
    const QString mark = markOf(0);

    cutMain(sim);
    QTRY_COMPARE_WITH_TIMEOUT(told.size(), 1, Wait);
    QCOMPARE(told.first(), (QList<QVariant>{0, Window, Main, Backup, QStringLiteral("lost")}));
    const MyNavTree *list = m_driver.child<MyNavTree>("winTree");
    QTRY_VERIFY(rowsOf(list).contains(QStringLiteral("Win2 [%1] B").arg(DeviceData::channelName(Main))));
    QCOMPARE(canvasNotes(), QStringList{QStringLiteral("On backup: input %1 (main %2 lost)")
                                            .arg(DeviceData::channelName(Backup), DeviceData::channelName(Main))});
    // The next reads find the main still dead: nothing more goes.
    const int polls = heads(sim.requests()).count(QStringLiteral("1c00"));
    QVERIFY(QTest::qWaitFor([&] { return heads(sim.requests()).count(QStringLiteral("1c00")) >= polls + 2; }, Wait));
    QCOMPARE(switches(sim).size(), 1);
    QCOMPARE(storedInput(), Main);
    QCOMPARE(m_driver.canvas()->model().window(Window).channel, Main);
    QCOMPARE(markOf(0), mark);

    QVERIFY(sim.simulator().setSignal(Main, true));
    QVERIFY(QTest::qWaitFor([&] { return switches(sim).size() == 2; }, Wait));
    QCOMPARE(switches(sim).last(), sourceFrame(0, Window, Main));
    QTRY_COMPARE_WITH_TIMEOUT(told.size(), 2, Wait);
    QCOMPARE(told.last().last().toString(), QStringLiteral("returned"));
    QTRY_VERIFY(!rowsOf(list).join(' ').contains(QStringLiteral(" B")));
    QVERIFY(canvasNotes().isEmpty());
    QCOMPARE(storedInput(), Main);
    QCOMPARE(markOf(0), mark);
    QCOMPARE(pages.size(), 0);
    QVERIFY(m_driver.messages.isEmpty());
    m_driver.close();
}

void TestBackupSources::manualReturnWaitsForTheOperator()
{
    LinkedSimulator sim;
    sim.model().presets[1] = presetOf({{0, 0, 1000, 600}, {1000, 0, 1000, 600}});
    linkUp(sim, BackupTable::Return::Manual);
    cutMain(sim);
    QVERIFY(sim.simulator().setSignal(Main, true));
    const int polls = heads(sim.requests()).count(QStringLiteral("1c00"));
    QVERIFY(QTest::qWaitFor([&] { return heads(sim.requests()).count(QStringLiteral("1c00")) >= polls + 3; }, Wait));
    QCOMPARE(switches(sim).size(), 1);

    // Another preset opened blind has a window of the same number: it is
    // not marked; the one on air is again once Blind is off.
    m_driver.trigger("actionBlind");
    QTest::mouseClick(m_driver.presetButton(1), Qt::LeftButton);
    QCOMPARE(m_driver.canvas()->model().layers().size(), 2);
    QVERIFY(canvasNotes().isEmpty());
    m_driver.trigger("actionBlind");
    QCOMPARE(canvasNotes().size(), 1);

    OperatorActions *actions = m_driver.window()->actions();
    QCOMPARE(actions->returnToMain(0, RemoteActions::ByRemote), RemoteActions::NoSuchWindow);
    QCOMPARE(actions->returnToMain(Window, RemoteActions::ByOperator), RemoteActions::Done);
    QVERIFY(QTest::qWaitFor([&] { return switches(sim).size() == 2; }, Wait));
    QCOMPARE(switches(sim).last(), sourceFrame(0, Window, Main));
    m_driver.close();
}

// The preset left the air on a backup: the device's copy of it holds its
// main input again, and the new preset starts from its own sources.
void TestBackupSources::recallPutsTheOldPresetBack()
{
    LinkedSimulator sim;
    sim.model().presets[1] = presetOf({{0, 0, 1000, 600}});
    linkUp(sim, BackupTable::Return::Manual);
    cutMain(sim);
    QCOMPARE(sim.model().presets[0].windows.at(Window * Preset::SlotSize + 2), char(Backup));
    QCOMPARE(m_driver.window()->actions()->recall(1, RemoteActions::ByOperator), RemoteActions::Done);
    QVERIFY(m_driver.settle());
    QTRY_COMPARE_WITH_TIMEOUT(sim.model().currentPreset, 1, Wait);
    QVERIFY(QTest::qWaitFor([&] { return switches(sim).size() == 2; }, Wait));
    QCOMPARE(switches(sim).last(), sourceFrame(0, Window, Main));
    QCOMPARE(sim.model().presets[0].windows.at(Window * Preset::SlotSize + 2), char(Main));
    m_driver.close();
}

// A verify's read of every preset, slowed down: no signal read goes
// between its frames, nor while its result waits for the operator; the
// reads go on once the operator has closed it.
void TestBackupSources::pollWaitsForTheOperatorsTransfer()
{
    LinkedSimulator sim;
    linkUp(sim, BackupTable::Return::Auto);
    FaultOptions slow;
    slow.delayMs = 150;
    sim.simulator().setFaults(slow);
    sim.simulator().clearRequests();
    m_driver.verifyChoices = QStringList{QString()}; // held open, then closed here
    QStringList sent;
    connect(&m_driver, &WindowDriver::dialogShown, this, [&](QDialog *dialog) {
        if (QLatin1String(dialog->metaObject()->className()) != QLatin1String("Dialog_Verify"))
            return;
        QTimer::singleShot(3 * SignalPoll::IntervalMs, dialog, [&, dialog] {
            sent = heads(sim.requests());
            dialog->close();
        });
    });
    m_driver.trigger("actionVerify");
    QVERIFY(QTest::qWaitFor([&sent] { return !sent.isEmpty(); }, 60000));
    const qsizetype first = sent.indexOf(QRegularExpression(QStringLiteral("^1[ab].*")));
    QVERIFY(first >= 0 && sent.size() - first >= 32);
    QVERIFY2(!sent.mid(first).contains(QStringLiteral("1c00")), qPrintable(sent.join(' ')));
    QVERIFY(QTest::qWaitFor([&sim] { return heads(sim.requests()).endsWith(QStringLiteral("1c00")); }, Wait));
    m_driver.close();
}

QTEST_MAIN(TestBackupSources)
#include "tst_backupsources.moc"
