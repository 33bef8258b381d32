// An operator's day with the main window against the in-process simulator.

#include <appdirectory.h>
#include <channelmime.h>
#include <dialog_verify.h>
#include <dialog_wait.h>
#include <linkedsimulator.h>
#include <linksettings.h>
#include <mainwindow.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <preset.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAction>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QMessageBox>
#include <QSettings>
#include <QStandardItemModel>
#include <QThread>
#include <QToolBar>
#include <QtTest>

#include <functional>
#include <memory>
#include <utility>

namespace {

// Answers every modal window from a timer, as an operator would: confirms
// message boxes, enters the file name it was given and rejects any other
// dialog after noting it; the wait pages close by themselves. Message boxes
// and wait pages are noted in the order they are shown.
class ModalCloser : public QObject
{
public:
    ModalCloser()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalCloser::answer);
        m_timer.start(20);
        m_clock.start();
        qApp->installEventFilter(this);
    }

    void clear()
    {
        messages.clear();
        waitToMessageMs = -1;
        waitHiddenAt = -1;
    }

    qint64 now() const { return m_clock.elapsed(); }

    QString fileName;
    QStringList messages;
    QStringList dialogs;
    QMap<QString, QString> fields; // of the last dialog answered, by name
    QList<QStringList> verified;   // the lines of each verify result shown
    QStringList verifyChoices;     // the buttons to press on the next results; else Close
    qint64 waitToMessageMs = -1; // from the last wait page to the first message
    qint64 waitHiddenAt = -1;
    // Runs once, while the next wait page is up.
    std::function<void()> whileWaiting;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Hide && qobject_cast<Dialog_wait *>(watched))
            waitHiddenAt = now();
        if (event->type() != QEvent::Show)
            return false;
        if (qobject_cast<Dialog_wait *>(watched)) {
            m_lastWaitAt = m_clock.elapsed();
            if (whileWaiting)
                QTimer::singleShot(200, this, std::exchange(whileWaiting, nullptr));
        } else if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            if (messages.isEmpty())
                waitToMessageMs = m_clock.elapsed() - m_lastWaitAt;
            messages << box->text();
        }
        return false;
    }

private:
    void answer()
    {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || qobject_cast<Dialog_wait *>(modal))
            return;
        if (auto *box = qobject_cast<QMessageBox *>(modal)) {
            QAbstractButton *yes = box->button(QMessageBox::Yes);
            yes ? yes->click() : box->accept();
        } else if (auto *files = qobject_cast<QFileDialog *>(modal)) {
            // selectFile() leaves the name field alone while it has the focus.
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(fileName);
            static_cast<QDialog *>(files)->accept();
        } else if (auto *result = qobject_cast<Dialog_Verify *>(modal)) {
            verified << result->lines();
            const QString choice = verifyChoices.isEmpty() ? QStringLiteral("closeButton") : verifyChoices.takeFirst();
            result->findChild<QPushButton *>(choice)->click();
        } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
            dialogs << QString::fromLatin1(dialog->metaObject()->className());
            fields.clear();
            for (const QLineEdit *field : dialog->findChildren<QLineEdit *>())
                fields.insert(field->objectName(), field->text());
            dialog->reject();
        }
    }

    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_lastWaitAt = 0;
};

// A simulator in a thread of its own: it answers while the main thread is
// still busy, as a real device does.
class DeviceInItsThread
{
public:
    DeviceInItsThread()
    {
        m_thread.start();
        m_home->moveToThread(&m_thread);
        run([this] {
            m_device = new DeviceSimulator;
            m_device->listenTcp();
            m_port = m_device->tcpPort();
        });
    }

    ~DeviceInItsThread()
    {
        run([this] {
            delete m_device;
            m_home->deleteLater();
        });
        m_thread.quit();
        m_thread.wait();
    }

    quint16 port() const { return m_port; }

private:
    void run(const std::function<void()> &work)
    {
        QMetaObject::invokeMethod(m_home, work, Qt::BlockingQueuedConnection);
    }

    QThread m_thread;
    QObject *m_home = new QObject;
    DeviceSimulator *m_device = nullptr;
    quint16 m_port = 0;
};

QStringList tcpSettings(quint16 port)
{
    return {"0", "127.0.0.1", QString::number(port), "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"};
}

QByteArrayList connectionReadCodes()
{
    QByteArrayList codes = {"11", "19"};
    for (int m = 0; m < 16; ++m)
        codes << "1a" << "1b";
    return codes;
}

// Four windows stacked on the first screen of a 2 x 2 wall, as the device
// stores them.
Preset stackOfFour()
{
    MyGraphicsView canvas;
    const int widths[] = {1920, 1920};
    const int heights[] = {1080, 1080};
    canvas.initData(widths, heights, 2, 2, 4, 3840, 2160);
    std::array<int, 64> noLayers;
    noLayers.fill(0xFF);
    canvas.Add_Win_layer(noLayers.data(), 4);
    for (int w = 0; w < 4; ++w)
        canvas.Add_Rect(w, QRect(200 * w, 100 * w, 1000, 600), QRect(0, 0, 1920, 1080), w + 1, noLayers.data(), 0);
    canvas.Add_End();
    Preset preset;
    const QByteArray all = canvas.getAllData();
    preset.windows = all.left(Preset::WindowsSize);
    preset.layers = all.mid(Preset::WindowsSize);
    preset.sources = canvas.getInData();
    preset.channels = canvas.getChData();
    return preset;
}

QByteArrayList codesOf(const QByteArrayList &requests)
{
    QByteArrayList codes;
    for (const QByteArray &request : requests)
        codes << request.mid(8, 1).toHex();
    return codes;
}

int windowsIn(const QByteArray &view)
{
    MyGraphicsView canvas;
    QDataStream in(view);
    return view.isEmpty() || !canvas.fileOpen(in) ? 0 : canvas.model().count();
}

QStringList rowsOf(const MyNavTree *tree)
{
    QStringList rows;
    for (int r = 0; r < tree->model()->rowCount(); ++r)
        rows << tree->model()->index(r, 0).data().toString();
    return rows;
}

// The link settings of the next start, as the settings file keeps them.
void storeSettings(const QStringList &linkSettings, int language, const QByteArray &tag)
{
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    link->setLinkSettings(linkSettings);
    link->dm_lastCheckSum = tag;
    writeSettings(language);
}

// The device blocks of each preset of a data file, as the canvas makes them.
QList<QByteArrayList> blocksOf(const QString &path)
{
    DeviceData file;
    file.configPath = path;
    if (file.openFile(path) != 1)
        return {};
    MyGraphicsView canvas;
    canvas.initData(file.colWidths.data(), file.rowHeights.data(), file.rows(), file.cols(), file.outMode2,
                    file.outWidth, file.outHeight);
    QList<QByteArrayList> blocks;
    for (const QByteArray &view : file.modelView) {
        canvas.ClearAllData();
        QDataStream in(view);
        if (!view.isEmpty())
            canvas.fileOpen(in);
        blocks << QByteArrayList{canvas.getAllData(), canvas.getInData(), canvas.getChData()};
    }
    return blocks;
}

} // namespace

class TestMainWindow : public QObject
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
    void exitWritesTheFiles();
    void silentDeviceTimesOut();
    void matchingTagWithoutLocalCopy();
    void stackedEditsReachTheDevice();
    void cutShortReadIsReadAgain();
    void fileFailuresAreSaid();
    void communicationTestOverAFastLink();
    void connectionReadShowsItsProgress();
    void linkDropClosesTheWaitPage_data();
    void linkDropClosesTheWaitPage();

private:
    void start();
    void startAgainst(const QStringList &linkSettings);
    void connectAndSettle();

    void trigger(const char *action) { child<QAction>(action)->trigger(); }
    template<class T> T *child(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    MyGraphicsView *canvas() const { return child<MyGraphicsView>("mygraphicsview"); }
    bool viewsEnabled() const;
    QStringList titleBarTexts() const;
    bool settle();
    QAbstractButton *presetButton(int index) const;
    QPoint at(const QPointF &scenePos) const { return canvas()->mapFromScene(scenePos); }
    void drop(int code, const QPointF &scenePos);
    void drag(const QPointF &from, const QPointF &to);
    QByteArrayList requestsSince(int first) const { return m_sim->requests().mid(first); }

    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<LinkedSimulator> m_sim;
    std::unique_ptr<MainWindow> m_window;
    ModalCloser m_closer;
    QRect m_movedWindow;
};

void TestMainWindow::start()
{
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    QTRY_VERIFY(!viewsEnabled());
}

bool TestMainWindow::viewsEnabled() const
{
    return canvas()->isEnabled() && child<QDockWidget>("sourceDock")->isEnabled()
        && child<QDockWidget>("winDock")->isEnabled() && child<QWidget>("Form_Model")->isEnabled();
}

QStringList TestMainWindow::titleBarTexts() const
{
    const QWidget *bar = child<QWidget>("Form_title");
    return {bar->findChild<QLabel *>("label")->text(), bar->findChild<QPushButton *>("pushButton")->text()};
}

// Waits until the device has answered everything posted so far and the
// window has taken in every report and closed its wait page.
bool TestMainWindow::settle()
{
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    const bool idle = QTest::qWaitFor([link] { return link->queuedFrames() == 0; }, 10000);
    QCoreApplication::processEvents();
    const bool closed = QTest::qWaitFor([] { return !QApplication::activeModalWidget(); });
    QCoreApplication::processEvents();
    return idle && closed;
}

QAbstractButton *TestMainWindow::presetButton(int index) const
{
    return child<QWidget>("mybuttonbar")->findChildren<QAbstractButton *>().at(index);
}

void TestMainWindow::drop(int code, const QPointF &scenePos)
{
    QMimeData mime;
    ChannelMime::setChannel(&mime, code);
    QDragEnterEvent enter(at(scenePos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &enter);
    QDropEvent dropped(at(scenePos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &dropped);
}

void TestMainWindow::drag(const QPointF &from, const QPointF &to)
{
    QWidget *viewport = canvas()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, at(from));
    QMouseEvent move(QEvent::MouseMove, at(to), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, at(to));
}

// 1. No settings, no names, no data: Chinese, the default link, nothing to
// work on; a language chosen without ever connecting is not kept.
void TestMainWindow::firstStartWithoutFiles()
{
    m_dir = std::make_unique<QTemporaryDir>();
    AppDirectory::setPath(m_dir->path());
    start();
    QCOMPARE(child<QAction>("actionConnect")->text(), QString::fromUtf8("打开连接"));
    QCOMPARE(child<QMenu>("menuDeviceData")->title(), QString::fromUtf8("设备数据"));
    QCOMPARE(m_window->windowTitle(), QString::fromUtf8("澜岳科技RZ5300多画面拼接处理器PC控制软件(V1.15)"));
    QCOMPARE(Singleton_SerialPort::instance()->linkSettings(),
             QStringList({"1", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"}));
    QCOMPARE(titleBarTexts(), QStringList({QString::fromUtf8("信号源"), QString::fromUtf8("刷新")}));

    trigger("actionEnglish");
    QCOMPARE(child<QMenu>("menuDeviceSettings")->title(), QStringLiteral("Device Setttings"));
    QCOMPARE(titleBarTexts(), QStringList({"Source", "Refresh"}));
    for (bool english : {false, true}) {
        Dialog_wait page(english, nullptr);
        QCOMPARE(page.findChild<QLabel *>("label")->text(),
                 english ? QStringLiteral("Sending in progress......") : QString::fromUtf8("正在发送......"));
        QVERIFY(page.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(page.minimumSize(), page.maximumSize());
    }
    m_window.reset();
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

// 2. A device holding other data than the host: its presets are read and
// rebuilt, and its current preset is shown without being recalled.
void TestMainWindow::connectReadsTheDevicesPresets()
{
    m_sim = std::make_unique<LinkedSimulator>();
    m_sim->model().currentPreset = 1;
    m_sim->model().wall.resolution = 3;
    m_sim->model().wall.outputMode = 1;
    storeSettings({"0", "127.0.0.1", QString::number(m_sim->simulator().tcpPort()), "255.255.255.0",
                   "192.168.1.1", "16-21-2C", "COM1"},
                  1, QByteArray(8, 'h'));
    start();
    trigger("actionConnect");
    QTRY_VERIFY(viewsEnabled());
    QVERIFY(settle());

    QByteArrayList expected = {"11", "19"};
    for (int m = 0; m < 16; ++m)
        expected << "1a" << "1b";
    QCOMPARE(codesOf(m_sim->requests()), expected);
    QVERIFY(viewsEnabled());
    QCOMPARE(child<QAction>("actionConnect")->text(), QStringLiteral("DisConnect"));
    const DeviceData &record = Singleton_SerialPort::instance()->dm_data;
    for (int m = 0; m < 16; ++m)
        QCOMPARE(windowsIn(record.modelView[size_t(m)]), m_sim->model().presets[size_t(m)].windowCount());
    QVERIFY(presetButton(1)->isChecked());
    QCOMPARE(canvas()->model().count(), 1);
    QCOMPARE(rowsOf(child<MyNavTree>("winTree")), QStringList({"Win3 [In3_DVI1]"}));
    QVERIFY(rowsOf(child<MyNavTree>("sourceTree")).size() > 10);
}

// 3. Showing a preset stores the one shown before and recalls the new one;
// window edits reach the device, which gives them back on a fresh read.
void TestMainWindow::presetsAndWindowEdits()
{
    QTest::mouseClick(presetButton(0), Qt::LeftButton);
    QVERIFY(settle());
    QCOMPARE(canvas()->model().count(), 2);
    drop(7, QPointF(2880, 1620));
    QVERIFY(settle());
    QCOMPARE(canvas()->model().count(), 3);

    const int before = m_sim->requests().size();
    QTest::mouseClick(presetButton(2), Qt::LeftButton);
    QVERIFY(settle());
    const DeviceData &record = Singleton_SerialPort::instance()->dm_data;
    QCOMPARE(windowsIn(record.modelView[0]), 3);
    QCOMPARE(codesOf(requestsSince(before)), QByteArrayList({"49"}));
    QCOMPARE(quint8(m_sim->lastRequest().at(9)), quint8(2));
    QCOMPARE(canvas()->model().count(), 0);

    QSignalSpy sent(canvas(), &MyGraphicsView::s_allMessage);
    drop(3, QPointF(960, 540));
    QVERIFY(settle());
    drag(QPointF(960, 540), QPointF(1360, 840));
    QVERIFY(settle());
    QCOMPARE(sent.size(), 2);
    const QByteArrayList writes = requestsSince(before + 1);
    QCOMPARE(codesOf(writes), QByteArrayList({"42", "42"}));
    for (int i = 0; i < 2; ++i) {
        const QByteArray payload = sent.at(i).at(0).toByteArray();
        QCOMPARE(writes.at(i).mid(11, payload.size()), payload);
    }
    m_movedWindow = canvas()->model().window(0).rect;
    QVERIFY(m_movedWindow.x() > 300 && m_movedWindow.y() > 200);

    trigger("actionSync");
    QVERIFY(settle());
    QCOMPARE(m_sim->model().presets[2].windowCount(), 1);
    QCOMPARE(canvas()->model().count(), 1);
    QCOMPARE(canvas()->model().window(0).rect, m_movedWindow);
    QCOMPARE(rowsOf(child<MyNavTree>("winTree")), QStringList({"Win1 [In4]"}));
}

// Each dialog opens from its place: the menus, the source tree's menu and
// the canvas; the context menus follow the item under the click.
void TestMainWindow::menusAndDialogs()
{
    MyNavTree *sources = child<MyNavTree>("sourceTree");
    MyNavTree *wins = child<MyNavTree>("winTree");
    QMenu *cardMenu = child<QMenu>("menuSourceCard");
    QMenu *shortMenu = child<QMenu>("menuSource");
    QMenu *winMenu = child<QMenu>("menuWin");
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

    const int before = m_sim->requests().size();
    QTest::mouseClick(child<QWidget>("Form_title")->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(settle());
    QCOMPARE(codesOf(requestsSince(before)), QByteArrayList({"1c"}));

    for (const char *action : {"actionComSet", "actionComTest", "actionLedMosaic", "actionInputSingle",
                               "actionPictureAttribute"})
        trigger(action);
    emit canvas()->fine_tuning(0);
    emit canvas()->fine_tuning_data(QList<int>({0, 0, 0, 1920, 1080, 3840, 2160, 0, 0, 1920, 1080}));
    QVERIFY(settle());
    QCOMPARE(m_closer.dialogs, QStringList({"Dialog_ComSet", "Dialog_Test", "LEDsplice", "Dialog_Singles",
                                            "Form_InCardSet", "Trimming", "Dialog_trimdata"}));
    m_closer.dialogs.clear();

    // The tool bars offer no menu that could hide the preset bar.
    QToolBar *presets = child<QToolBar>("MyToolBar");
    QContextMenuEvent menu(QContextMenuEvent::Mouse, QPoint(5, 5), presets->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(presets, &menu);
    QVERIFY(!QApplication::activePopupWidget());
    QVERIFY(presets->isVisible());
}

// The source chosen in the list is the channel of a window drawn on the
// wall; nudges in a row reach the device as one change.
void TestMainWindow::drawnWindowTakesTheChosenSource()
{
    MyNavTree *sources = child<MyNavTree>("sourceTree");
    const QModelIndex third = sources->model()->index(2, 0);
    const int code = sources->GetNowItemIndex(third);
    QTest::mouseClick(sources->viewport(), Qt::LeftButton, {}, sources->visualRect(third).center());
    QCOMPARE(canvas()->curChannel, code);
    const int before = m_sim->requests().size();
    drag(QPointF(100, 1200), QPointF(900, 1800));
    QVERIFY(settle());
    const int drawn = canvas()->selectedWindow();
    QCOMPARE(canvas()->model().window(drawn).channel, code);
    QCOMPARE(codesOf(requestsSince(before)), QByteArrayList({"42"}));
    QCOMPARE(quint8(m_sim->lastRequest().at(13)), quint8(code));

    for (int i = 0; i < 5; ++i)
        QTest::keyClick(canvas(), Qt::Key_Right);
    QTRY_VERIFY(!canvas()->changePending());
    QVERIFY(settle());
    QCOMPARE(codesOf(requestsSince(before)), QByteArrayList({"42", "42"}));
    const Preset &preset = m_sim->model().presets[2];
    QCOMPARE(preset.windows + preset.layers, canvas()->getAllData());

    QTest::keyClick(canvas(), Qt::Key_Delete);
    QVERIFY(settle());
}

// A preset changed on the device behind the host's back: the verify names
// the window and how it differs; "Send mine" makes the device equal and the
// next verify says so; "Take the device's" makes the host equal instead.
void TestMainWindow::verifyFindsWhatTheDeviceChanged()
{
    const auto moveOnDevice = [this](int dx) {
        QByteArray &windows = m_sim->model().presets[2].windows;
        const int x = quint8(windows.at(20)) | quint8(windows.at(21)) << 8;
        windows[20] = char((x + dx) & 0xFF);
        windows[21] = char((x + dx) >> 8);
        return x + dx;
    };
    m_closer.verified.clear();
    trigger("actionVerify");
    QVERIFY(settle());
    QCOMPARE(m_closer.verified.size(), 1);
    QCOMPARE(m_closer.verified.at(0).at(0), QStringLiteral("16 of 16 presets verified"));

    moveOnDevice(100);
    m_closer.verifyChoices = QStringList{"sendButton"};
    trigger("actionVerify");
    QTRY_COMPARE(m_closer.verified.size(), 3);
    QVERIFY(settle());
    const QStringList found = m_closer.verified.at(1);
    QCOMPARE(found.at(0), QStringLiteral("15 of 16 presets verified"));
    QCOMPARE(found.at(3), QStringLiteral("M3: 1 window differs: Win1 moved"));
    QCOMPARE(found.at(17), QStringLiteral("Wall: same"));
    QCOMPARE(m_closer.verified.at(2).at(0), QStringLiteral("16 of 16 presets verified"));
    const Preset &preset = m_sim->model().presets[2];
    QCOMPARE(preset.windows + preset.layers, canvas()->getAllData());
    QVERIFY(presetButton(2)->toolTip().endsWith(QStringLiteral("Confirmed on the device")));

    const int moved = moveOnDevice(-40);
    m_closer.verifyChoices = QStringList{"takeButton"};
    trigger("actionVerify");
    QTRY_COMPARE(m_closer.verified.size(), 4);
    QVERIFY(settle());
    QCOMPARE(m_closer.verified.at(3).at(3), QStringLiteral("M3: 1 window differs: Win1 moved"));
    QCOMPARE(canvas()->model().window(0).rect.x(), moved);
    QCOMPARE(windowsIn(Singleton_SerialPort::instance()->dm_data.modelView[2]), 1);
    m_movedWindow = canvas()->model().window(0).rect;
}

// Each edit, its undo and its redo leave the device's preset equal to the
// canvas; each preset keeps its own history; a locked canvas does not undo;
// a rebuild from the device empties the histories.
void TestMainWindow::undoAndRedoReachTheDevice()
{
    QAction *undo = child<QAction>("actionUndo");
    QAction *redo = child<QAction>("actionRedo");
    const auto step = [this](QAction *action) {
        QVERIFY(action->isEnabled());
        action->trigger();
        QVERIFY(settle());
    };
    const auto deviceHoldsTheCanvas = [this] {
        const Preset &preset = m_sim->model().presets[2];
        return preset.windows + preset.layers == canvas()->getAllData();
    };
    drop(5, QPointF(2880, 1620));
    QVERIFY(settle());
    const int added = canvas()->selectedWindow();
    drag(QPointF(2880, 1620), QPointF(2600, 1500));
    QVERIFY(settle());
    const QRect moved = canvas()->model().window(added).rect;
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(canvas(), Qt::Key_Down);
    QTRY_VERIFY(!canvas()->changePending());
    QVERIFY(settle());
    QCOMPARE(undo->text(), QStringLiteral("Undo Nudge Win%1").arg(added + 1));

    step(undo); // the three nudges at once
    QCOMPARE(canvas()->model().window(added).rect, moved);
    QVERIFY(deviceHoldsTheCanvas());
    QCOMPARE(undo->text(), QStringLiteral("Undo Move Win%1").arg(added + 1));
    step(undo);
    QCOMPARE(canvas()->model().window(added).rect, QRect(1920, 1080, 1920, 1080));
    QVERIFY(deviceHoldsTheCanvas());
    step(undo);
    QVERIFY(!canvas()->model().contains(added));
    QVERIFY(deviceHoldsTheCanvas());
    step(redo);
    step(redo);
    QCOMPARE(canvas()->model().window(added).rect, moved);
    QVERIFY(deviceHoldsTheCanvas());
    QCOMPARE(redo->text(), QStringLiteral("Redo Nudge Win%1").arg(added + 1));

    QTest::mouseClick(presetButton(0), Qt::LeftButton);
    QVERIFY(settle());
    QCOMPARE(undo->text(), QStringLiteral("Undo"));
    QTest::mouseClick(presetButton(2), Qt::LeftButton);
    QVERIFY(settle());
    QCOMPARE(undo->text(), QStringLiteral("Undo Move Win%1").arg(added + 1));
    trigger("actionLock");
    QVERIFY(!undo->isEnabled());
    trigger("actionUnlock");
    step(undo);
    step(undo);
    QVERIFY(!canvas()->model().contains(added));
    QVERIFY(deviceHoldsTheCanvas());

    trigger("actionSync");
    QVERIFY(settle());
    QVERIFY(!undo->isEnabled() && !redo->isEnabled());
}

// 4. A disconnect asked for shows no message and saves the data file; the
// device still holds the host's data, so the reconnect reads no presets.
void TestMainWindow::disconnectAndReconnect()
{
    trigger("actionConnect");
    QTRY_VERIFY(!viewsEnabled());
    QVERIFY(settle());
    QVERIFY(m_closer.messages.isEmpty());
    QCOMPARE(child<QAction>("actionConnect")->text(), QStringLiteral("Connect"));
    QVERIFY(QFile::exists(m_dir->filePath("MyConfigure.pd")));

    DeviceData &record = Singleton_SerialPort::instance()->dm_data;
    record.clearModelViews();
    const int before = m_sim->requests().size();
    trigger("actionConnect");
    QTRY_VERIFY(viewsEnabled());
    QVERIFY(settle());
    QCOMPARE(codesOf(requestsSince(before)), QByteArrayList({"11", "19"}));
    QCOMPARE(windowsIn(record.modelView[0]), 3);
    QCOMPARE(canvas()->model().window(0).rect, m_movedWindow);
}

// 5. Export, initialise the device, import the export: the device ends with
// the exported presets and wall.
void TestMainWindow::exportInitImport()
{
    const DeviceModel exported = m_sim->model();
    DeviceData &record = Singleton_SerialPort::instance()->dm_data;
    record.setModelName(QStringLiteral("Opening"), 0);
    m_closer.fileName = m_dir->filePath("day.pd");
    trigger("actionExport");
    QCOMPARE(m_closer.messages, QStringList({"Operation succeeded"}));
    record.setModelName(QStringLiteral("Changed"), 0);
    presetButton(0)->setToolTip(QStringLiteral("Changed"));

    trigger("actionInit");
    QVERIFY(settle());
    QCOMPARE(m_closer.messages.last(), QStringLiteral("Do you want to initialize the device?"));
    QCOMPARE(m_sim->model().presets[2].windowCount(), 0);
    QCOMPARE(canvas()->model().count(), 0);

    const int before = m_sim->requests().size();
    trigger("actionImport");
    QVERIFY(settle());
    QByteArrayList expected = {"41"};
    for (int m = 0; m < 16; ++m)
        expected << "44" << "4a" << "45";
    QByteArrayList verifyReads = {"19"};
    for (int m = 0; m < 16; ++m)
        verifyReads << "1a" << "1b";
    QCOMPARE(codesOf(requestsSince(before)), expected << "49" << verifyReads);
    const DeviceModel &device = m_sim->model();
    const QList<QByteArrayList> blocks = blocksOf(m_closer.fileName);
    QCOMPARE(blocks.size(), 16);
    for (size_t m = 0; m < 16; ++m) {
        const Preset &preset = device.presets[m];
        QCOMPARE(preset.windows + preset.layers, blocks.at(int(m)).at(0));
        QCOMPARE(preset.sources, blocks.at(int(m)).at(1));
        QCOMPARE(preset.channels, blocks.at(int(m)).at(2));
        for (int slot = 0; slot < Preset::SlotCount; ++slot)
            QCOMPARE(preset.window(slot), exported.presets[m].window(slot));
    }
    QCOMPARE(device.wall.resolution, exported.wall.resolution);
    QCOMPARE(device.wall.outputMode, exported.wall.outputMode);
    QVERIFY(device.wall.cells == exported.wall.cells);
    QCOMPARE(device.currentPreset, 2);
    QCOMPARE(canvas()->model().window(0).rect, m_movedWindow);
    QCOMPARE(m_closer.messages.size(), 2);
    QCOMPARE(presetButton(0)->toolTip().section(QLatin1Char('\n'), 0, 0), QStringLiteral("Opening"));
    QCOMPARE(m_closer.verified.last().at(0), QStringLiteral("16 of 16 presets verified"));
}

// 7. Leaving after a connection keeps the settings, the names and the data.
void TestMainWindow::exitWritesTheFiles()
{
    m_window.reset();
    m_sim.reset();
    QSettings settings(m_dir->filePath("infoCong.ini"), QSettings::IniFormat);
    QCOMPARE(settings.allKeys(), QStringList({"0", "1", "2", "3", "4", "5", "6", "checkSum", "language"}));
    QCOMPARE(settings.value("language").toInt(), 1);
    QVERIFY(QFile::exists(m_dir->filePath("MyNames.pd")));
    QVERIFY(QFile::exists(m_dir->filePath("MyConfigure.pd")));
}

// 6. A device that never answers: the wait page gives up after the time-out
// announced, and as no connection ever completed the link is closed too.
void TestMainWindow::silentDeviceTimesOut()
{
    m_dir = std::make_unique<QTemporaryDir>();
    AppDirectory::setPath(m_dir->path());
    QTemporaryDir devices;
    DeviceSimulator silent;
    FaultOptions neverAnswer;
    neverAnswer.dropEvery = 1;
    silent.setFaults(neverAnswer);
    QVERIFY(silent.openPty(devices.filePath("ttyRZ")));
    storeSettings({"1", "", "0", "", "", "", silent.ptyPath()}, 1, QByteArray(8, 'h'));
    start();
    QFile::remove(m_dir->filePath("infoCong.ini"));

    m_closer.clear();
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    QObject announcer;
    connect(link, &Singleton_SerialPort::send_connect_end, &announcer, [link] {
        if (link->isConnected())
            emit link->send_out_time(2000);
    });
    trigger("actionConnect");
    QTRY_COMPARE_WITH_TIMEOUT(m_closer.messages.size(), 2, 20000);
    QCOMPARE(m_closer.messages,
             QStringList({"Send timeout, please try to resend", "opening failed"}));
    QVERIFY2(m_closer.waitToMessageMs >= 1000, qPrintable(QString::number(m_closer.waitToMessageMs)));
    QVERIFY(!link->isConnected());
    QVERIFY(!viewsEnabled());
    QCOMPARE(child<QAction>("actionConnect")->text(), QStringLiteral("Connect"));
    m_window.reset();
    QVERIFY(QDir(m_dir->path()).isEmpty());
}

// 8. The device's tag equals the host's but the host has no data file (a
// first start against a device that still has the default tag): the
// device's presets are read instead of leaving the views empty.
void TestMainWindow::matchingTagWithoutLocalCopy()
{
    m_dir = std::make_unique<QTemporaryDir>();
    AppDirectory::setPath(m_dir->path());
    m_sim = std::make_unique<LinkedSimulator>();
    storeSettings({"0", "127.0.0.1", QString::number(m_sim->simulator().tcpPort()), "255.255.255.0",
                   "192.168.1.1", "16-21-2C", "COM1"},
                  1, m_sim->model().tag);
    start();
    trigger("actionConnect");
    QTRY_VERIFY(viewsEnabled());
    QVERIFY(settle());
    QTRY_COMPARE(m_sim->requests().size(), 4 + 32);
    QVERIFY(settle());
    QCOMPARE(codesOf(m_sim->requests().mid(0, 4)), QByteArrayList({"11", "19", "11", "19"}));
    QCOMPARE(canvas()->model().count(), m_sim->model().presets[0].windowCount());
    m_window.reset();
    m_sim.reset();
}

void TestMainWindow::startAgainst(const QStringList &linkSettings)
{
    m_dir = std::make_unique<QTemporaryDir>();
    AppDirectory::setPath(m_dir->path());
    storeSettings(linkSettings, 1, QByteArray(8, 'h'));
    start();
    m_closer.clear();
}

void TestMainWindow::connectAndSettle()
{
    trigger("actionConnect");
    QTRY_VERIFY(viewsEnabled());
    QVERIFY(settle());
}

// 9. One edit sends several windows in one go: each frame carries its own
// window, so the device's preset follows every edit of a stack.
void TestMainWindow::stackedEditsReachTheDevice()
{
    m_sim = std::make_unique<LinkedSimulator>();
    DeviceModel &device = m_sim->model();
    device.wall.setGrid({1920, 1920}, {1080, 1080});
    device.currentPreset = 0;
    device.presets[0] = stackOfFour();
    startAgainst(tcpSettings(m_sim->simulator().tcpPort()));
    connectAndSettle();
    QCOMPARE(canvas()->model().layers(), QList<int>({0, 1, 2, 3}));
    const auto deviceHoldsTheCanvas = [this] {
        const Preset &preset = m_sim->model().presets[0];
        return preset.windows + preset.layers == canvas()->getAllData()
            && preset.sources == canvas()->getInData();
    };
    QVERIFY(deviceHoldsTheCanvas());

    canvas()->setButtonLayerWin(3);
    QVERIFY(settle());
    QVERIFY(deviceHoldsTheCanvas());
    canvas()->setTopLayerWin(1);
    QVERIFY(settle());
    QVERIFY(deviceHoldsTheCanvas());
    const QPoint middle = at(QPointF(1050, 650)); // inside all four
    QTest::mouseClick(canvas()->viewport(), Qt::LeftButton, {}, middle);
    QCOMPARE(canvas()->selectedWindow(), 1);
    QTest::keyClick(canvas(), Qt::Key_Delete);
    QVERIFY(settle());
    QCOMPARE(canvas()->model().layers(), QList<int>({3, 0, 2}));
    QVERIFY(deviceHoldsTheCanvas());
    QVERIFY(m_closer.messages.isEmpty());
}

// 10. The device hangs up in the middle of the preset reads: the host does
// not take over the device's tag, so after a restart the next connection
// reads every preset instead of trusting the half-read data.
void TestMainWindow::cutShortReadIsReadAgain()
{
    m_window.reset();
    m_sim = std::make_unique<LinkedSimulator>();
    FaultOptions hangUp;
    hangUp.hangUpAfter = 12;
    m_sim->simulator().setFaults(hangUp);
    startAgainst(tcpSettings(m_sim->simulator().tcpPort()));
    trigger("actionConnect");
    QTRY_COMPARE_WITH_TIMEOUT(m_closer.messages, QStringList({"opening failed"}), 20000);
    QVERIFY(settle());
    m_window.reset();

    m_sim->simulator().setFaults({});
    m_sim->simulator().clearRequests();
    start();
    connectAndSettle();
    QCOMPARE(codesOf(m_sim->requests()), connectionReadCodes());
    QCOMPARE(canvas()->model().count(), m_sim->model().presets[size_t(m_sim->model().currentPreset)].windowCount());
}

// 11. Files that fail say so: a file that is not a data file, a data file
// whose preset the canvas cannot read (nothing of it is sent, the host
// keeps its data), and an export to a place that cannot be written.
void TestMainWindow::fileFailuresAreSaid()
{
    DeviceData &record = Singleton_SerialPort::instance()->dm_data;
    DeviceData file = record;
    file.modelView[5] = "not a preset";
    file.configPath = m_dir->filePath("broken.pd");
    QCOMPARE(file.saveFile(QStringLiteral("file")), 1);
    const std::array<QByteArray, 16> views = record.modelView;
    const int before = m_sim->requests().size();
    m_closer.clear();
    for (const QString &path : {m_dir->filePath("infoCong.ini"), file.configPath}) {
        m_closer.fileName = path;
        trigger("actionImport");
        QVERIFY(settle());
    }
    QCOMPARE(m_closer.messages, QStringList({"The file is not recognized ", "The file is not recognized "}));
    QCOMPARE(m_sim->requests().size(), before);
    QVERIFY(record.modelView == views);

    // procfs takes no new file, not even from root.
    m_closer.clear();
    m_closer.fileName = QStringLiteral("/proc/rz5300.pd");
    trigger("actionExport");
    QCOMPARE(m_closer.messages, QStringList({"The file could not be saved"}));
}

// 12. The versions come back before the dialog could have been built: the
// communication test still shows every card's version.
void TestMainWindow::communicationTestOverAFastLink()
{
    m_window.reset();
    m_sim.reset();
    DeviceInItsThread device;
    startAgainst(tcpSettings(device.port()));
    connectAndSettle();
    trigger("actionComTest");
    QVERIFY(settle());
    QCOMPARE(m_closer.dialogs.last(), QStringLiteral("Dialog_Test"));
    const DeviceData &record = Singleton_SerialPort::instance()->dm_data;
    QStringList expected, shown;
    const QList<DeviceData::CardStatus> inputs = record.cardStatusList(0), outputs = record.cardStatusList(1);
    for (int k = 0; k < 24; ++k)
        expected << inputs.at(k).text, shown << m_closer.fields.value(QStringLiteral("In%1Edit").arg(k + 1));
    for (int k = 0; k < 12; ++k)
        expected << outputs.at(k).text, shown << m_closer.fields.value(QStringLiteral("Out%1Edit").arg(k + 1));
    expected << record.cardStatusList(2).at(0).text;
    shown << m_closer.fields.value(QStringLiteral("sys1Edit"));
    QCOMPARE(shown, expected);
    QVERIFY(!expected.contains(QString()));
    m_window.reset();
}

// 13. Over a line paced like 115200 baud the page counts the presets read
// up to 16 without going back; the estimate of the time left at the half
// is reported against what was actually left.
void TestMainWindow::connectionReadShowsItsProgress()
{
    m_window.reset();
    QTemporaryDir devices;
    DeviceSimulator device;
    device.setBaudRate(115200);
    QVERIFY(device.openPty(devices.filePath("ttyRZ")));
    startAgainst({"1", "", "0", "", "", "", device.ptyPath()});
    struct Step
    {
        int value, maximum;
        QString text;
        qint64 at;
    };
    QList<Step> steps;
    QElapsedTimer clock;
    clock.start();
    connect(m_window.get(), &MainWindow::waitProgress, this,
            [&](const QString &text, int value, int maximum) { steps.append({value, maximum, text, clock.elapsed()}); });
    connectAndSettle();
    QVERIFY(!steps.isEmpty());
    for (int i = 1; i < steps.size(); ++i)
        QVERIFY2(steps.at(i).value >= steps.at(i - 1).value, qPrintable(steps.at(i).text));
    QCOMPARE(steps.last().value, 16);
    QCOMPARE(steps.last().maximum, 16);
    QVERIFY(steps.last().text.startsWith(QStringLiteral("Reading presets 16 of 16")));
    const auto half = std::find_if(steps.cbegin(), steps.cend(), [](const Step &step) { return step.value >= 8; });
    const QRegularExpression left(QStringLiteral("about (\\d+) s left"));
    qInfo("at %d of 16 after %lld ms: \"%s\"; actually %lld ms were left", half->value, half->at,
          qPrintable(half->text), steps.last().at - half->at);
    QVERIFY(left.match(half->text).hasMatch());
    m_window.reset();
}

void TestMainWindow::linkDropClosesTheWaitPage_data()
{
    QTest::addColumn<bool>("serial");
    QTest::newRow("tcp") << false;
    QTest::newRow("pty") << true;
}

// 13. The link goes while a wait page is up: the page goes with it, the
// operator is told once, and no time-out follows.
void TestMainWindow::linkDropClosesTheWaitPage()
{
    QFETCH(bool, serial);
    m_window.reset();
    m_sim.reset();
    QTemporaryDir devices;
    DeviceSimulator device;
    QVERIFY(device.listenTcp() && device.openPty(devices.filePath("ttyRZ")));
    startAgainst(serial ? QStringList{"1", "", "0", "", "", "", device.ptyPath()} : tcpSettings(device.tcpPort()));
    connectAndSettle();
    FaultOptions mute;
    mute.muteCode = 0x1C;
    device.setFaults(mute);
    m_closer.clear();
    qint64 droppedAt = -1;
    m_closer.whileWaiting = [&] {
        droppedAt = m_closer.now();
        serial ? device.closePty() : device.hangUp();
    };
    QTest::mouseClick(child<QWidget>("Form_title")->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QTRY_VERIFY(droppedAt >= 0 && m_closer.waitHiddenAt >= 0);
    QVERIFY2(m_closer.waitHiddenAt - droppedAt < 1000, qPrintable(QString::number(m_closer.waitHiddenAt - droppedAt)));
    QTest::qWait(5000); // past every resend and the page's time-out
    QCOMPARE(m_closer.messages, QStringList({"opening failed"}));
    QVERIFY(!viewsEnabled());
    m_window.reset();
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
