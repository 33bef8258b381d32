// An operator's day with the main window against the in-process simulator.

#include "mainwindowcase.h"

#include <appdirectory.h>
#include <framebytes.h>
#include <linkedsimulator.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <presetblocks.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QToolBar>
#include <QtTest>

using FrameBytes::heads;

class TestMainWindow : public MainWindowCase
{
    Q_OBJECT

private slots:
    void firstStartWithoutFiles();
    void connectReadsTheDevicesPresets();
    void presetsAndWindowEdits();
    void menusAndDialogs();
    void drawnWindowTakesTheChosenSource();
    void verifyFindsWhatTheDeviceChanged();
    void undoAndRedoReachTheDevice();
    void disconnectAndReconnect();
    void exportInitImport();
    void fileFailuresAreSaid();
    void exitWritesTheFiles();

private:
    MyGraphicsView *canvas() const { return m_driver.canvas(); }
    bool settle() { return m_driver.settle(); }
    QStringList headsSince(int first, int bytes = 2) const { return heads(FrameBytes::operatorRequests(m_sim->requests()).mid(first), bytes); }
    // The device's preset holds the windows and layers of the canvas.
    bool deviceHoldsTheCanvas() { return blocksOf(m_sim->model().presets[2]) == canvas()->getAllData(); }
    static QByteArray blocksOf(const Preset &preset) { return preset.windows + preset.layers; }
    QString languageShown() const
    {
        return m_driver.child<QWidget>("Form_title")->findChild<QLabel *>("label")->text();
    }

    std::unique_ptr<LinkedSimulator> m_sim;
    QRect m_movedWindow;
};

// No settings, no names, no data: Chinese and nothing to work on; a
// language chosen without ever connecting is not kept.
void TestMainWindow::firstStartWithoutFiles()
{
    m_dir = std::make_unique<QTemporaryDir>();
    AppDirectory::setPath(m_dir->path());
    QVERIFY(m_driver.open());
    QCOMPARE(languageShown(), QString::fromUtf8("信号源"));
    m_driver.trigger("actionEnglish");
    QCOMPARE(languageShown(), QStringLiteral("Source"));
    m_driver.close();
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

// A device holding other data than the host: its presets are read and
// rebuilt, and its current preset is shown without being recalled.
void TestMainWindow::connectReadsTheDevicesPresets()
{
    m_sim = std::make_unique<LinkedSimulator>();
    m_sim->model().currentPreset = 1;
    m_sim->model().wall.resolution = 3;
    m_sim->model().wall.outputMode = 1;
    startAgainst(LinkedSimulator::tcpSettings(m_sim->simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());

    QCOMPARE(heads(FrameBytes::operatorRequests(m_sim->requests())), FrameBytes::connectionRead(true));
    QCOMPARE(m_driver.child<QAction>("actionConnect")->text(), QStringLiteral("DisConnect"));
    const DeviceData &record = link()->dm_data;
    for (int m = 0; m < 16; ++m)
        QCOMPARE(windowsIn(record.modelView[size_t(m)]), m_sim->model().presets[size_t(m)].windowCount());
    QCOMPARE(m_driver.shownPreset(), 1);
    QCOMPARE(canvas()->model().count(), 1);
    QCOMPARE(rowsOf(m_driver.child<MyNavTree>("winTree")), QStringList({"Win3 [In3_DVI1]"}));
    QVERIFY(rowsOf(m_driver.child<MyNavTree>("sourceTree")).size() > 10);
}

// Showing a preset stores the one shown before and recalls the new one;
// window edits reach the device, which gives them back on a fresh read.
void TestMainWindow::presetsAndWindowEdits()
{
    m_driver.presetButton(0)->click();
    QVERIFY(settle());
    QCOMPARE(canvas()->model().count(), 2);
    m_driver.drop(7, QPointF(2880, 1620));
    QVERIFY(settle());

    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    m_driver.presetButton(2)->click();
    QVERIFY(settle());
    QCOMPARE(windowsIn(link()->dm_data.modelView[0]), 3);
    QCOMPARE(headsSince(before), QStringList({"4902"}));
    QCOMPARE(canvas()->model().count(), 0);

    m_driver.drop(3, QPointF(960, 540));
    QVERIFY(settle());
    m_driver.drag(QPointF(960, 540), QPointF(1360, 840));
    QVERIFY(settle());
    QCOMPARE(headsSince(before + 1), QStringList({"4202", "4202"}));
    QVERIFY(deviceHoldsTheCanvas());
    m_movedWindow = canvas()->model().window(0).rect;
    QVERIFY(m_movedWindow.x() > 300 && m_movedWindow.y() > 200);

    m_driver.trigger("actionSync");
    QVERIFY(settle());
    QCOMPARE(canvas()->model().count(), 1);
    QCOMPARE(canvas()->model().window(0).rect, m_movedWindow);
    QCOMPARE(rowsOf(m_driver.child<MyNavTree>("winTree")), QStringList({"Win1 [In4]"}));
}

// Each dialog opens from its place: the menus, the source tree's menu and
// the canvas; the context menus follow the item under the click.
void TestMainWindow::menusAndDialogs()
{
    MyNavTree *sources = m_driver.child<MyNavTree>("sourceTree");
    MyNavTree *wins = m_driver.child<MyNavTree>("winTree");
    QMenu *cardMenu = m_driver.child<QMenu>("menuSourceCard");
    QMenu *shortMenu = m_driver.child<QMenu>("menuSource");
    QMenu *winMenu = m_driver.child<QMenu>("menuWin");
    const auto rightClick = [](MyNavTree *tree, const QModelIndex &index) {
        tree->scrollTo(index);
        emit tree->customContextMenuRequested(tree->visualRect(index).center());
    };
    QAbstractItemModel *sourceItems = sources->model();
    const QModelIndexList twoChannel = sourceItems->match(sourceItems->index(0, 0), Qt::DisplayRole,
                                                          QStringLiteral("HDMI"), 1, Qt::MatchContains);
    QVERIFY(!twoChannel.isEmpty());
    rightClick(sources, twoChannel.first());
    QVERIFY(shortMenu->isVisible() && !cardMenu->isVisible());
    shortMenu->hide();
    rightClick(sources, sourceItems->index(0, 0));
    QVERIFY(cardMenu->isVisible() && !shortMenu->isVisible());
    cardMenu->hide();
    emit wins->customContextMenuRequested(QPoint(5, wins->viewport()->height() - 5));
    QVERIFY(!winMenu->isVisible());
    rightClick(wins, wins->model()->index(0, 0));
    QVERIFY(winMenu->isVisible());
    winMenu->hide();

    // The refresh reads the signals, as the program's own reads do.
    const int raw = m_sim->requests().size();
    QTest::mouseClick(m_driver.child<QWidget>("Form_title")->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(settle());
    const QStringList sent = heads(m_sim->requests().mid(raw));
    QVERIFY(!sent.isEmpty() && sent.count(QStringLiteral("1c00")) == sent.size());

    for (const char *action : {"actionComSet", "actionComTest", "actionLedMosaic", "actionInputSingle",
                               "actionPictureAttribute"})
        m_driver.trigger(action);
    m_driver.doubleClick(m_movedWindow.center());
    emit canvas()->fine_tuning_data(QList<int>({0, 0, 0, 1920, 1080, 3840, 2160, 0, 0, 1920, 1080}));
    QVERIFY(settle());
    QCOMPARE(m_driver.dialogs, QStringList({"Dialog_ComSet", "Dialog_Test", "LEDsplice", "Dialog_Singles",
                                            "Form_InCardSet", "Trimming", "Dialog_trimdata"}));

    // The tool bars offer no menu that could hide the preset bar.
    QToolBar *presets = m_driver.child<QToolBar>("MyToolBar");
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), presets->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(presets, &menu);
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(presets->isVisible());
}

// The source chosen in the list is the channel of a window drawn on the
// wall; nudges in a row reach the device as one change, and so does another
// source for the window.
void TestMainWindow::drawnWindowTakesTheChosenSource()
{
    MyNavTree *sources = m_driver.child<MyNavTree>("sourceTree");
    const QModelIndex third = sources->model()->index(2, 0);
    const int code = sources->GetNowItemIndex(third);
    QTest::mouseClick(sources->viewport(), Qt::LeftButton, {}, sources->visualRect(third).center());
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    m_driver.drag(QPointF(100, 1200), QPointF(900, 1800));
    QVERIFY(settle());
    const int drawn = canvas()->selectedWindow();
    QCOMPARE(canvas()->model().window(drawn).channel, code);
    QVERIFY(deviceHoldsTheCanvas());

    for (int i = 0; i < 5; ++i)
        QTest::keyClick(canvas(), Qt::Key_Right);
    QVERIFY(settle());
    QCOMPARE(headsSince(before), QStringList({"4202", "4202"}));
    QVERIFY(deviceHoldsTheCanvas());
    canvas()->setInCard(drawn, sources->GetNowItemIndex(sources->model()->index(0, 0))); // from the window list
    QVERIFY(settle());
    QCOMPARE(headsSince(before).mid(2), QStringList({"4802"}));
    QVERIFY(deviceHoldsTheCanvas());

    QTest::keyClick(canvas(), Qt::Key_Delete);
    QVERIFY(settle());
}

// A preset changed on the device behind the host's back: the verify names
// the window and how it differs, and offers to take the device's; left
// alone, the preset is marked as differing; sending mine instead makes the
// device equal and the next verify says so. Taking
// the device's asks first, keeps a backup, and is undone on the preset's
// own history without a word to the device.
void TestMainWindow::verifyFindsWhatTheDeviceChanged()
{
    const auto moveOnDevice = [this](int dx) {
        QByteArray &windows = m_sim->model().presets[2].windows;
        const int x = quint8(windows.at(20)) | quint8(windows.at(21)) << 8;
        windows[20] = char((x + dx) & 0xFF);
        windows[21] = char((x + dx) >> 8);
        return x + dx;
    };
    const QString differs = QStringLiteral("M3: 1 window differs: Win1 moved");
    m_driver.trigger("actionVerify");
    QVERIFY(settle());
    QCOMPARE(m_driver.verified.last().at(0), QStringLiteral("16 of 16 presets verified"));

    const int mine = canvas()->model().window(0).rect.x();
    moveOnDevice(100);
    m_driver.trigger("actionVerify");
    QVERIFY(settle());
    QCOMPARE(m_driver.verified.at(1).at(0), QStringLiteral("15 of 16 presets verified"));
    QCOMPARE(m_driver.verified.at(1).at(3), differs);
    QCOMPARE(m_driver.offered.at(1), QStringList({"M3=device"}));
    QCOMPARE(markOf(2), QStringLiteral("Differs on the device"));

    m_driver.verifyChoices = QStringList{"M3_mine, applyButton"};
    m_driver.trigger("actionVerify");
    QTRY_COMPARE(m_driver.verified.size(), 4);
    QVERIFY(settle());
    QCOMPARE(m_driver.verified.at(3).at(0), QStringLiteral("16 of 16 presets verified"));
    QVERIFY(deviceHoldsTheCanvas());
    QCOMPARE(markOf(2), QStringLiteral("Confirmed on the device"));

    const int moved = moveOnDevice(-40);
    m_driver.verifyChoices = QStringList{"applyButton"};
    m_driver.messages.clear();
    m_driver.trigger("actionVerify");
    QTRY_COMPARE(m_driver.verified.size(), 5);
    QVERIFY(settle());
    QCOMPARE(m_driver.verified.at(4).at(3), differs);
    QCOMPARE(m_driver.messages.size(), 1);
    QVERIFY(m_driver.messages.takeFirst().startsWith(QStringLiteral("Replace M3 here with the device's?")));
    QCOMPARE(QDir(m_dir->path()).entryList({"MyConfigure-*.pd"}).size(), 1);
    QCOMPARE(canvas()->model().window(0).rect.x(), moved);
    QCOMPARE(windowsIn(link()->dm_data.modelView[2]), 1);

    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    m_driver.trigger("actionUndo");
    QVERIFY(settle());
    QCOMPARE(canvas()->model().window(0).rect.x(), mine);
    QCOMPARE(markOf(2), QStringLiteral("Changed here since the last check"));
    m_driver.trigger("actionRedo");
    QVERIFY(settle());
    QCOMPARE(canvas()->model().window(0).rect.x(), moved);
    QCOMPARE(FrameBytes::operatorRequests(m_sim->requests()).size(), before);
    m_movedWindow = canvas()->model().window(0).rect;
}

// Each edit, its undo and its redo leave the device's preset equal to the
// canvas; each preset keeps its own history, named in the language shown;
// a locked canvas does not undo; a rebuild from the device empties the
// histories.
void TestMainWindow::undoAndRedoReachTheDevice()
{
    QAction *undo = m_driver.child<QAction>("actionUndo");
    QAction *redo = m_driver.child<QAction>("actionRedo");
    const auto step = [this](QAction *action) {
        QVERIFY(action->isEnabled());
        action->trigger();
        QVERIFY(settle());
        QVERIFY(deviceHoldsTheCanvas());
    };
    m_driver.drop(5, QPointF(2880, 1620));
    QVERIFY(settle());
    const int added = canvas()->selectedWindow();
    m_driver.drag(QPointF(2880, 1620), QPointF(2600, 1500));
    QVERIFY(settle());
    const QRect moved = canvas()->model().window(added).rect;
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(canvas(), Qt::Key_Down);
    QVERIFY(settle());
    m_driver.drop(7, moved.center());
    QVERIFY(settle());

    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    step(undo); // the source, as the window's own signal
    QCOMPARE(headsSince(before), QStringList({"4802"}));
    QCOMPARE(canvas()->model().window(added).channel, 5);
    step(undo); // the three nudges at once
    QCOMPARE(canvas()->model().window(added).rect, moved);
    step(undo);
    QCOMPARE(canvas()->model().window(added).rect, QRect(1920, 1080, 1920, 1080));
    step(undo);
    QVERIFY(!canvas()->model().contains(added));
    step(redo);
    step(redo);
    QCOMPARE(canvas()->model().window(added).rect, moved);

    m_driver.presetButton(0)->click();
    QVERIFY(settle());
    QVERIFY(!undo->isEnabled());
    m_driver.trigger("actionChinese");
    m_driver.presetButton(2)->click();
    QVERIFY(settle());
    const QString win = QStringLiteral(" Win%1").arg(added + 1);
    QCOMPARE(undo->text(), QString::fromUtf8("撤销 移动") + win);
    QCOMPARE(redo->text(), QString::fromUtf8("重做 微移") + win);
    m_driver.trigger("actionEnglish");
    QCOMPARE(undo->text(), QStringLiteral("Undo Move") + win);
    m_driver.trigger("actionLock");
    QVERIFY(!undo->isEnabled());
    m_driver.trigger("actionUnlock");
    step(undo);
    step(undo);
    QVERIFY(!canvas()->model().contains(added));

    m_driver.trigger("actionSync");
    QVERIFY(settle());
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
}

// A disconnect asked for shows no message and saves the data file; the
// device still holds the host's data, so the reconnect reads no presets.
void TestMainWindow::disconnectAndReconnect()
{
    QVERIFY(m_driver.disconnectDevice());
    QVERIFY(m_driver.messages.isEmpty());
    QVERIFY(QFile::exists(m_dir->filePath("MyConfigure.pd")));

    DeviceData &record = link()->dm_data;
    record.clearModelViews();
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(headsSince(before), FrameBytes::connectionRead(false));
    QCOMPARE(windowsIn(record.modelView[0]), 3);
    QCOMPARE(canvas()->model().window(0).rect, m_movedWindow);
}

// Export, initialise the device, import the export: the device ends with
// the exported presets and wall.
void TestMainWindow::exportInitImport()
{
    const DeviceModel exported = m_sim->model();
    DeviceData &record = link()->dm_data;
    record.setModelName(QStringLiteral("Opening"), 0);
    m_driver.fileName = m_dir->filePath("day.pd");
    m_driver.trigger("actionExport");
    QCOMPARE(m_driver.messages, QStringList({"Operation succeeded"}));
    record.setModelName(QStringLiteral("Changed"), 0);
    m_driver.presetButton(0)->setToolTip(QStringLiteral("Changed"));

    m_driver.trigger("actionInit");
    QVERIFY(settle());
    QCOMPARE(m_sim->model().presets[2].windowCount(), 0);
    QCOMPARE(canvas()->model().count(), 0);

    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    m_driver.trigger("actionImport");
    QVERIFY(settle());
    QStringList expected = {"41"};
    for (int m = 0; m < 16; ++m)
        expected << "44" << "4a" << "45";
    expected << "49" << "11" << "19";
    for (int m = 0; m < 16; ++m)
        expected << "1a" << "1b";
    QCOMPARE(headsSince(before, 1), expected);
    DeviceData file;
    file.configPath = m_driver.fileName;
    QCOMPARE(file.openFile(m_driver.fileName), 1);
    PresetBlocks blocks;
    QVERIFY(blocks.build(file));
    const DeviceModel &device = m_sim->model();
    for (size_t m = 0; m < 16; ++m) {
        const Preset &preset = device.presets[m];
        QCOMPARE(blocksOf(preset), blocks.windows.at(int(m)));
        QCOMPARE(preset.sources, blocks.sources.at(int(m)));
        QCOMPARE(preset.channels, blocks.channels.at(int(m)));
        QCOMPARE(blocksOf(preset), blocksOf(exported.presets[m]));
    }
    QVERIFY(device.wall.cells == exported.wall.cells);
    QCOMPARE(QList<int>({device.wall.resolution, device.wall.outputMode, device.currentPreset}),
             QList<int>({exported.wall.resolution, exported.wall.outputMode, 2}));
    QCOMPARE(canvas()->model().window(0).rect, m_movedWindow);
    QCOMPARE(m_driver.messages.size(), 2);
    QCOMPARE(m_driver.presetButton(0)->toolTip().section(QLatin1Char('\n'), 0, 0), QStringLiteral("Opening"));
    QCOMPARE(m_driver.verified.last().at(0), QStringLiteral("16 of 16 presets verified"));
}

// Files that fail say so: a file that is not a data file, a data file
// whose preset the canvas cannot read (nothing of it is sent, the host
// keeps its data), and an export to a place that cannot be written.
void TestMainWindow::fileFailuresAreSaid()
{
    DeviceData &record = link()->dm_data;
    DeviceData file = record;
    file.modelView[5] = "not a preset";
    file.configPath = m_dir->filePath("broken.pd");
    QCOMPARE(file.saveFile(QStringLiteral("file")), 1);
    const std::array<QByteArray, 16> views = record.modelView;
    const int before = FrameBytes::operatorRequests(m_sim->requests()).size();
    m_driver.messages.clear();
    for (const QString &path : {m_dir->filePath("infoCong.ini"), file.configPath}) {
        m_driver.fileName = path;
        m_driver.trigger("actionImport");
        QVERIFY(settle());
    }
    QCOMPARE(m_driver.messages, QStringList({"The file is not recognized ", "The file is not recognized "}));
    QCOMPARE(FrameBytes::operatorRequests(m_sim->requests()).size(), before);
    QVERIFY(record.modelView == views);

    // procfs takes no new file, not even from root.
    m_driver.messages.clear();
    m_driver.fileName = QStringLiteral("/proc/rz5300.pd");
    m_driver.trigger("actionExport");
    QCOMPARE(m_driver.messages, QStringList({"The file could not be saved"}));
}

// Leaving after a connection keeps the settings, the names and the data.
void TestMainWindow::exitWritesTheFiles()
{
    m_driver.close();
    m_sim.reset();
    QSettings settings(m_dir->filePath("infoCong.ini"), QSettings::IniFormat);
    QCOMPARE(settings.value("language").toInt(), 1);
    QVERIFY(QFile::exists(m_dir->filePath("MyNames.pd")));
    QVERIFY(QFile::exists(m_dir->filePath("MyConfigure.pd")));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
