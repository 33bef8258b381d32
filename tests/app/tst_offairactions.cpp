// Work away from the wall against the simulator: blind edits taken to the
// wall in one switch, and edits made offline weighed at the next
// connection.

#include "mainwindowcase.h"

#include <framebytes.h>
#include <linkedsimulator.h>
#include <mygraphicsview.h>
#include <presetblocks.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QRandomGenerator>
#include <QTimer>
#include <QtTest>

using FrameBytes::heads;

namespace {

QString frameOf(int code, int preset)
{
    return QStringLiteral("%1%2").arg(code, 2, 16, QLatin1Char('0')).arg(preset, 2, 16, QLatin1Char('0'));
}

} // namespace

class TestOffAirActions : public MainWindowCase
{
    Q_OBJECT

private slots:
    void blindEditsGoOutOnlyWithATake();
    void takeWithALostWriteLeavesTheWall();
    void takeWithALostRecallClaimsNothing();
    void offlineEditsAreWeighedAtConnection();
    void offlineEditStaysOffTheWall();
    void takeAsksBeforeRemovingWhatItCannotShow();

private:
    MyGraphicsView *canvas() const { return m_driver.canvas(); }
    // The device's preset holds what the host holds of it.
    bool deviceHoldsHostsPreset(const DeviceModel &device, int preset) const;
    // One edit of the windows on the canvas, chosen by the generator.
    void randomEdit(QRandomGenerator &random);
    // A connection read the device once; the window is started again with
    // the device gone and works offline on what that read left.
    void startOfflineAfter(LinkedSimulator &sim);
    // A shortcut reaches the window that is active; a wait page took that
    // from it.
    void keys(int key) const
    {
        m_driver.window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_driver.window()));
        QTest::keyClick(m_driver.window(), Qt::Key(key), Qt::ControlModifier);
    }
};

bool TestOffAirActions::deviceHoldsHostsPreset(const DeviceModel &device, int preset) const
{
    PresetBlocks blocks;
    const Preset &held = device.presets[size_t(preset)];
    return blocks.build(link()->dm_data)
        && held.windows + held.layers == blocks.windows.at(preset) && held.sources == blocks.sources.at(preset)
        && held.channels == blocks.channels.at(preset);
}

void TestOffAirActions::startOfflineAfter(LinkedSimulator &sim)
{
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    QVERIFY(m_driver.disconnectDevice());
    m_driver.close();
    sim.simulator().closeTcp();
    QVERIFY(m_driver.open());
    m_driver.trigger("actionWorkOffline");
}

// Moves are dragged with the mouse, deletes pressed on the keyboard; the
// others come as the trimming dialog and the lists give them.
void TestOffAirActions::randomEdit(QRandomGenerator &random)
{
    const WallModel &model = canvas()->model();
    const QList<int> windows = model.layers();
    const QRect screen = model.grid().screenRect(random.bounded(model.grid().screenCount()));
    const int kind = windows.size() < 2 ? 5 : random.bounded(windows.size() < 4 ? 6 : 5);
    const int window = windows.isEmpty() ? -1 : windows.at(random.bounded(windows.size()));
    const QRect rect = window < 0 ? QRect() : model.window(window).rect;
    switch (kind) {
    case 0:
        m_driver.drag(rect.center(), screen.center());
        break;
    case 1:
        canvas()->setTrimOutRect(window, QRectF(screen.topLeft(), QSizeF(random.bounded(400, screen.width()),
                                                                          random.bounded(300, screen.height()))));
        break;
    case 2:
        canvas()->setInCard(window, random.bounded(4));
        break;
    case 3:
        m_driver.click(rect.center());
        QTest::keyClick(canvas(), Qt::Key_Delete);
        break;
    case 4:
        canvas()->setTopLayerWin(window);
        break;
    default:
        m_driver.drop(random.bounded(4), screen.center());
    }
}

// 200 seeded edits over four presets, blind, with a take after every
// tenth: between takes nothing goes out; a take writes the preset whole and
// recalls it, after which the device holds the host's preset and shows it;
// a revert recalls the preset on air before.
void TestOffAirActions::blindEditsGoOutOnlyWithATake()
{
    LinkedSimulator sim;
    const DeviceModel &device = sim.model();
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    keys(Qt::Key_B);
    QVERIFY(canvas()->isOnAirLocked());
    const QLabel *title = m_driver.child<QLabel>("canvasTitle");
    QCOMPARE(title->text(), QStringLiteral("On air: M1  ·  Blind: pick a preset to edit"));

    QRandomGenerator random(5300);
    const QList<int> presets{2, 3, 4, 5};
    int onAir = device.currentPreset;
    int before = onAir;
    for (int round = 0; round < 20; ++round) {
        int preset = onAir;
        while (preset == onAir)
            preset = presets.at(random.bounded(presets.size()));
        QTest::mouseClick(m_driver.presetButton(preset), Qt::LeftButton);
        QCOMPARE(title->text(), QStringLiteral("On air: M%1  ·  Editing blind: M%2").arg(onAir + 1).arg(preset + 1));
        QVERIFY(m_driver.presetButton(onAir)->property("onAir").toBool());
        const qsizetype sent = FrameBytes::operatorRequests(sim.requests()).size();
        for (int edit = 0; edit < 10; ++edit) {
            randomEdit(random);
            QVERIFY(m_driver.settle());
        }
        if (round == 0) {
            const WallModel edited = canvas()->model();
            m_driver.trigger("actionUndo");
            m_driver.trigger("actionRedo");
            QVERIFY(m_driver.settle());
            QCOMPARE(canvas()->model().layers(), edited.layers());
        }
        QCOMPARE(FrameBytes::operatorRequests(sim.requests()).size(), sent);
        QVERIFY(m_driver.presetButton(preset)->toolTip().endsWith(QStringLiteral("Changed here since the last check")));

        keys(Qt::Key_T);
        QVERIFY(m_driver.settle());
        QCOMPARE(heads(FrameBytes::operatorRequests(sim.requests()).mid(sent)),
                 QStringList({frameOf(0x44, preset), frameOf(0x4A, preset), frameOf(0x45, preset), frameOf(0x49, preset)}));
        QVERIFY(deviceHoldsHostsPreset(device, preset));
        QCOMPARE(device.currentPreset, preset);
        QVERIFY(m_driver.presetButton(preset)->toolTip().endsWith(QStringLiteral("Confirmed on the device")));
        QVERIFY(canvas()->isOnAirLocked());
        before = std::exchange(onAir, preset);
    }
    QVERIFY(m_driver.messages.isEmpty());

    // The take is one step: undone, the preset before is recalled; redone,
    // taken again. Revert recalls the preset before as well.
    const QStringList recallBefore{frameOf(0x49, before)};
    const QStringList takeAgain{frameOf(0x44, onAir), frameOf(0x4A, onAir), frameOf(0x45, onAir),
                                frameOf(0x49, onAir)};
    int sent = int(FrameBytes::operatorRequests(sim.requests()).size());
    QCOMPARE(m_driver.child<QAction>("actionUndo")->text(), QStringLiteral("Undo Take M%1").arg(onAir + 1));
    keys(Qt::Key_Z);
    QVERIFY(m_driver.settle());
    QCOMPARE(heads(FrameBytes::operatorRequests(sim.requests()).mid(sent)), recallBefore);
    QCOMPARE(device.currentPreset, before);
    sent = int(FrameBytes::operatorRequests(sim.requests()).size());
    m_driver.trigger("actionRedo");
    QVERIFY(m_driver.settle());
    QCOMPARE(heads(FrameBytes::operatorRequests(sim.requests()).mid(sent)), takeAgain);
    sent = int(FrameBytes::operatorRequests(sim.requests()).size());
    m_driver.trigger("actionRevert");
    QVERIFY(m_driver.settle());
    QCOMPARE(heads(FrameBytes::operatorRequests(sim.requests()).mid(sent)), recallBefore);
    QCOMPARE(device.currentPreset, before);
    m_driver.close();
}

// The line goes before the take's last write is confirmed: no recall
// follows, the wall keeps the preset on air, and the taken preset stays
// changed here.
void TestOffAirActions::takeWithALostWriteLeavesTheWall()
{
    LinkedSimulator sim;
    const DeviceModel &device = sim.model();
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    Singleton_SerialPort *link = this->link();
    link->setReconnects(false);
    QVERIFY(m_driver.connectDevice());
    keys(Qt::Key_B);
    QTest::mouseClick(m_driver.presetButton(2), Qt::LeftButton);
    m_driver.drop(1, canvas()->model().grid().screenRect(0).center());
    QVERIFY(m_driver.settle());

    sim.hangUpBeforeAnswering(0x45);
    const int sent = int(FrameBytes::operatorRequests(sim.requests()).size());
    keys(Qt::Key_T);
    QTRY_COMPARE(m_driver.messages, QStringList({"opening failed"}));
    QVERIFY(m_driver.settle());
    QCOMPARE(heads(FrameBytes::operatorRequests(sim.requests()).mid(sent)),
             QStringList({frameOf(0x44, 2), frameOf(0x4A, 2), frameOf(0x45, 2)}));
    QCOMPARE(device.currentPreset, 0);
    QCOMPARE(link->dm_data.curModel, 0);
    QVERIFY(m_driver.presetButton(2)->toolTip().endsWith(QStringLiteral("Changed here since the last check")));
    m_driver.close();
}

// The writes of a take confirmed, its recall lost: whether the wall
// switched is not known, and the title says so rather than naming either
// preset.
void TestOffAirActions::takeWithALostRecallClaimsNothing()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    keys(Qt::Key_B);
    QTest::mouseClick(m_driver.presetButton(2), Qt::LeftButton);
    m_driver.drop(1, canvas()->model().grid().screenRect(0).center());
    QVERIFY(m_driver.settle());

    FaultOptions mute;
    mute.muteCode = 0x49;
    sim.simulator().setFaults(mute);
    keys(Qt::Key_T);
    QTRY_COMPARE_WITH_TIMEOUT(m_driver.messages, QStringList({"Send timeout, please try to resend"}), 20000);
    QVERIFY(m_driver.settle());
    QVERIFY(deviceHoldsHostsPreset(sim.model(), 2));
    QCOMPARE(m_driver.child<QLabel>("canvasTitle")->text(),
             QStringLiteral("On air: unknown  ·  Editing blind: M3"));
    m_driver.close();
}

// With no device, from the data file an earlier connection left: two
// presets edited offline are the choice at the next connection, and
// sending mine for both leaves them on the device.
void TestOffAirActions::offlineEditsAreWeighedAtConnection()
{
    LinkedSimulator sim;
    const quint16 port = sim.simulator().tcpPort();
    startOfflineAfter(sim);
    QVERIFY(m_driver.viewsEnabled());
    QVERIFY(m_driver.messages.isEmpty());
    for (int preset : {3, 6}) {
        QTest::mouseClick(m_driver.presetButton(preset), Qt::LeftButton);
        m_driver.drop(2, canvas()->model().grid().screenRect(1).center());
        QVERIFY(m_driver.settle());
        m_driver.trigger("actionUndo");
        m_driver.trigger("actionRedo");
        QVERIFY(m_driver.settle());
    }
    QCOMPARE(canvas()->model().count(), 1);
    QVERIFY(m_driver.messages.isEmpty());

    QVERIFY(sim.simulator().listenTcp(port));
    m_driver.verifyChoices = QStringList{"M4_mine, M7_mine, applyButton"};
    QVERIFY(m_driver.connectDevice());
    QTRY_COMPARE(m_driver.verified.size(), 2);
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.offered.first(), QStringList({"M4=mine", "M7=mine"}));
    QCOMPARE(m_driver.verified.last().at(0), QStringLiteral("16 of 16 presets verified"));
    for (int preset : {3, 6}) {
        QVERIFY(deviceHoldsHostsPreset(sim.model(), preset));
        QCOMPARE(sim.model().presets[size_t(preset)].windowCount(), 1);
    }
    m_driver.close();
}

// An edit made offline in one preset never lands in the preset the device
// has on air when the link comes back: with the choice closed unanswered,
// the canvas goes to the preset on air and the edited one stays marked.
void TestOffAirActions::offlineEditStaysOffTheWall()
{
    LinkedSimulator sim;
    const quint16 port = sim.simulator().tcpPort();
    startOfflineAfter(sim);
    QTest::mouseClick(m_driver.presetButton(0), Qt::LeftButton);
    m_driver.drop(2, canvas()->model().grid().screenRect(1).center());
    QVERIFY(m_driver.settle());

    sim.model().currentPreset = 2;
    const Preset first = sim.model().presets[0];
    const Preset onAir = sim.model().presets[2];
    QVERIFY(sim.simulator().listenTcp(port));
    QVERIFY(m_driver.connectDevice());
    QTRY_COMPARE(m_driver.verified.size(), 1);
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.shownPreset(), 2);
    QCOMPARE(markOf(0), QStringLiteral("Changed here since the last check"));
    QCOMPARE(sim.model().presets[2].windows, onAir.windows);

    // An edit now is one of the preset on air, and of it only.
    m_driver.drop(3, canvas()->model().grid().screenRect(0).center());
    QVERIFY(m_driver.settle());
    QCOMPARE(sim.model().presets[2].windowCount(), onAir.windowCount() + 1);
    QCOMPARE(sim.model().presets[0].windows, first.windows);
    m_driver.close();
}

// A preset whose window lies off a wall made smaller: a take would write
// the preset as the canvas shows it, without that window, so it asks
// first; answered yes, the preset goes as shown.
void TestOffAirActions::takeAsksBeforeRemovingWhatItCannotShow()
{
    LinkedSimulator sim;
    DeviceModel &device = sim.model();
    device.wall.setGrid({1920}, {1080});
    device.presets[2] = presetOf({{100, 100, 800, 600}, {2000, 1200, 800, 600}});
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    keys(Qt::Key_B);
    QTest::mouseClick(m_driver.presetButton(2), Qt::LeftButton);
    QCOMPARE(canvas()->model().count(), 1);
    m_driver.drag(QPointF(500, 400), QPointF(700, 500));
    QVERIFY(m_driver.settle());

    keys(Qt::Key_T);
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.messages.size(), 1);
    QVERIFY(m_driver.messages.first().startsWith(QStringLiteral("M3 holds 1 window(s) on the device")));
    QCOMPARE(device.currentPreset, 2);
    QCOMPARE(device.presets[2].windowCount(), 1);

    // Taken whole, the preset holds nothing unseen: the next take goes
    // without a question.
    QTest::mouseClick(m_driver.presetButton(3), Qt::LeftButton);
    m_driver.drop(2, canvas()->model().grid().screenRect(0).center());
    QVERIFY(m_driver.settle());
    keys(Qt::Key_T);
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.messages.size(), 1);
    QCOMPARE(device.currentPreset, 3);
    m_driver.close();
}

QTEST_MAIN(TestOffAirActions)
#include "tst_offairactions.moc"
