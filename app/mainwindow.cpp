#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "applog.h"
#include "backupsources.h"
#include "connectionflow.h"
#include "dataactions.h"
#include "devicedialogs.h"
#include "editsender.h"
#include "linkfeedback.h"
#include "mainmenus.h"
#include "navdocks.h"
#include "offairactions.h"
#include "onairmodel.h"
#include "operatoractions.h"
#include "presetstore.h"
#include "reconnector.h"
#include "reconnectstatus.h"
#include "remotepanel.h"
#include "takeonair.h"

#include <appdirectory.h>
#include <bilingual.h>
#include <commandtype.h>
#include <datafile.h>
#include <form_model.h>
#include <form_title.h>
#include <linksettings.h>
#include <messagecode.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <settingsfile.h>
#include <singleton_serialport.h>
#include <systemclock.h>

#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUndoStack>

namespace {

const char *const WindowTitle = "澜岳科技RZ5300多画面拼接处理器PC控制软件(V1.15)";

// The next undo or redo step of the stack is a take.
bool takeAt(const QUndoStack *stack, int index)
{
    return stack && index >= 0 && index < stack->count() && stack->command(index)->id() == TakeOnAir::Id;
}

// How long the status bar tells of a remote request that failed, or of a
// backup switch.
constexpr int RemoteMessageMs = 10000;

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : MainWindow(AppDirectory::path(), true, parent)
{
}

MainWindow::MainWindow(const QString &folder, bool remoteControl, QWidget *parent)
    : QMainWindow(parent)
    , m_folder(folder)
    , m_remoteControl(remoteControl)
    , m_link(new Singleton_SerialPort(this))
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(QString::fromUtf8(WindowTitle));
    m_menus = std::make_unique<MainMenus>(this, m_link->state());
    buildPresetBar();
    m_docks = std::make_unique<NavDocks>(this, m_menus.get());
    m_feedback = new LinkFeedback(m_link, this);
    m_air = new OnAirModel(this);
    m_presets = new PresetStore(ui->mygraphicsview, m_formModel, m_link, m_air, this);
    m_data = new DataActions(m_link, m_presets, m_feedback, m_formModel, this);
    m_offAir = new OffAirActions(m_link, m_air, m_presets, ui->mygraphicsview, m_formModel, this);
    m_actions = new OperatorActions(m_link, m_presets, m_data, m_offAir, m_feedback, m_formModel,
                                    ui->mygraphicsview, this);
    m_remote = new RemotePanel(m_actions, statusBar(), this);
    m_backups = new BackupSources(m_link, m_actions, m_air, new SystemClock(this), this);
    m_actions->setBackups(m_backups);
    m_dialogs = new DeviceDialogs(m_link, ui->mygraphicsview, this);
    m_reconnect = new Reconnector(m_link, this);
    m_connection = new ConnectionFlow(m_link, m_presets, m_data, m_offAir, m_reconnect, m_feedback, this);
    m_reconnectStatus = new ReconnectStatus(m_reconnect, statusBar());
    statusBar()->addWidget(m_reconnectStatus);
    connectActions();
    connectViews();
    connectLink();
    QTimer::singleShot(0, this, &MainWindow::loadFile);
}

MainWindow::~MainWindow()
{
    if (m_link->state()->wasReady() || m_offAir->isOffline()) {
        writeSettings(m_link, m_link->dm_data.settingsPath, isEnglish, m_presets->saveDataFile());
        m_link->dm_data.saveNames();
    }
    // The link is the window's session: it ends with it.
    if (m_link->state()->state() != LinkStateModel::State::Closed)
        m_link->postCommand(Command::Disconnect);
    delete ui;
    // The window's parts use the link to their end: it goes last of them.
    m_link->setParent(nullptr);
    m_link->setParent(this);
}

void MainWindow::buildPresetBar()
{
    QToolBar *presets = addToolBar(QStringLiteral("MyToolBar"));
    presets->setObjectName(QStringLiteral("MyToolBar"));
    presets->setMovable(false);
    m_formModel = new Form_Model(presets);
    presets->addWidget(m_formModel);
    presets->addSeparator();
    for (QAction *action : {m_menus->blind, m_menus->take, m_menus->revert})
        presets->addAction(action);
    ui->mainToolBar->hide();
}

void MainWindow::connectActions()
{
    MyGraphicsView *canvas = ui->mygraphicsview;
    const MainMenus &menus = *m_menus;
    connect(menus.chinese, &QAction::triggered, this, [this] { setLanguage(0); });
    connect(menus.english, &QAction::triggered, this, [this] { setLanguage(1); });
    connect(menus.connect, &QAction::triggered, m_connection, &ConnectionFlow::toggle);
    connect(menus.workOffline, &QAction::triggered, this, &MainWindow::workOffline);
    connect(menus.blind, &QAction::triggered, m_offAir, &OffAirActions::setBlind);
    connect(menus.take, &QAction::triggered, this, [this] {
        if (!m_offAir->take())
            showMessageWidget(Message::NotRecognised);
    });
    connect(menus.revert, &QAction::triggered, m_offAir, &OffAirActions::revert);
    connect(m_offAir, &OffAirActions::changed, this, &MainWindow::offAirChanged);
    connect(menus.comSet, &QAction::triggered, m_dialogs, &DeviceDialogs::openComSet);
    connect(menus.comTest, &QAction::triggered, m_dialogs, &DeviceDialogs::openComTest);
    connect(menus.remote, &QAction::triggered, m_remote, &RemotePanel::openDialog);
    connect(menus.ledMosaic, &QAction::triggered, m_dialogs, &DeviceDialogs::openLedMosaic);
    connect(menus.inputSingle, &QAction::triggered, m_dialogs, &DeviceDialogs::openInputSingle);
    connect(m_dialogs, &DeviceDialogs::wallWriteAsked, this, &MainWindow::Rsp_Send_ResetView);
    connect(m_dialogs, &DeviceDialogs::sourcesChanged, this, &MainWindow::RspInCardMes);
    connect(menus.exportData, &QAction::triggered, m_data, &DataActions::exportData);
    connect(menus.importData, &QAction::triggered, m_data, &DataActions::importData);
    connect(menus.sync, &QAction::triggered, m_data, &DataActions::syncData);
    connect(menus.verify, &QAction::triggered, m_data, &DataActions::verifyData);
    connect(menus.init, &QAction::triggered, m_data, &DataActions::initDevice);
    connect(m_data, &DataActions::sourcesChanged, this, &MainWindow::RspInCardMes);
    for (QAction *lock : {menus.lock, menus.unlock}) {
        connect(lock, &QAction::triggered, canvas, [this, canvas, lock] {
            canvas->setLock(lock == m_menus->lock);
            updateUndoActions();
        });
    }
    QUndoGroup *history = &m_presets->history();
    connect(menus.undo, &QAction::triggered, history, &QUndoGroup::undo);
    connect(menus.redo, &QAction::triggered, history, &QUndoGroup::redo);
    for (auto changed : {&QUndoGroup::canUndoChanged, &QUndoGroup::canRedoChanged})
        connect(history, changed, this, &MainWindow::updateUndoActions);
    for (auto changed : {&QUndoGroup::undoTextChanged, &QUndoGroup::redoTextChanged})
        connect(history, changed, this, &MainWindow::updateUndoActions);
    connect(history, &QUndoGroup::activeStackChanged, this, &MainWindow::updateUndoActions);
    connect(menus.pictureAttribute, &QAction::triggered, this,
            [this] { m_dialogs->openInputSettings(m_docks->curSource()); });
    connect(menus.inputName, &QAction::triggered, this, &MainWindow::RspInCardName);
    connect(menus.topFloor, &QAction::triggered, canvas, [this, canvas] { canvas->setTopLayerWin(m_docks->curWin()); });
    m_backups->addReturnAction(menus.winMenu, [this] { return m_docks->curWin(); });
    connect(m_backups, &BackupSources::changed, this, &MainWindow::showBackups);
    for (auto changed : {&PresetStore::opened, &PresetStore::onAirChanged})
        connect(m_presets, changed, this, &MainWindow::showBackups);
    connect(m_backups, &BackupSources::message, this,
            [this](const QString &text) { statusBar()->showMessage(text, RemoteMessageMs); });
    connect(menus.bottomFloor, &QAction::triggered, canvas,
            [this, canvas] { canvas->setButtonLayerWin(m_docks->curWin()); });
}

void MainWindow::connectViews()
{
    using V = MyGraphicsView;
    MyGraphicsView *canvas = ui->mygraphicsview;
    connect(m_formModel, &Form_Model::set_model, m_actions, &OperatorActions::presetChosen);
    connect(m_actions, &OperatorActions::presetShown, this, &MainWindow::updata_model);
    connect(m_actions, &OperatorActions::onAirRefused, this, [this] { showMessageWidget(Message::OnAirNotBlind); });
    connect(canvas, &V::fine_tuning, m_dialogs, &DeviceDialogs::openTrimming);
    connect(canvas, &V::fine_tuning_data, m_dialogs, &DeviceDialogs::openTrimData);
    connect(canvas, &V::setModelName, this, &MainWindow::RspModelName);
    connect(new EditSender(m_link, m_presets, canvas, this), &EditSender::sourceSet, this,
            &MainWindow::RspWinCreatSingle);
    connect(canvas, &V::ignore_message, this, &MainWindow::RspViewMessage);
    connect(canvas, &V::s_win_mes, this, &MainWindow::RspWinLayerMes);
    connect(canvas, &V::s_creat_win, this, &MainWindow::RspWinCreatSingle);
    MyNavTree *sources = m_docks->sourceTree;
    connect(m_docks->winTree, &MyNavTree::chargeSingle, m_actions,
            [this](int win, int code) { m_actions->setSource(win, code, OperatorActions::ByOperator); });
    // The source chosen in the list is the channel of the next window drawn.
    connect(sources->selectionModel(), &QItemSelectionModel::currentChanged, canvas,
            [sources, canvas](const QModelIndex &index) {
                const int code = sources->GetNowItemIndex(index);
                if (code >= 0)
                    canvas->curChannel = code;
            });
    connect(sources, &MyNavTree::chargedata, this, &MainWindow::RspChargeCardName);
}

void MainWindow::connectLink()
{
    using L = Singleton_SerialPort;
    connect(m_feedback, &LinkFeedback::closeWait, this, &MainWindow::closeWait);
    connect(m_feedback, &LinkFeedback::waitProgress, this, &MainWindow::waitProgress);
    connect(m_feedback, &LinkFeedback::waitPagesClosed, m_data, &DataActions::waitPagesClosed);
    connect(m_link, &L::repalceDeviceCopy, m_data, &DataActions::verifyReadDone);
    connect(m_presets, &PresetStore::shownReloaded, this, &MainWindow::showWinList);
    connect(m_link, &L::repalceCard, this, [this] { m_presets->emptyAll(); });
    connect(m_docks->titleBar, &Form_title::updataCard, this, [this] {
        if (m_link->isConnected())
            m_link->send(LinkRequest::readSignalFlags());
    });
    connect(m_connection, &ConnectionFlow::message, this, &MainWindow::showMessageWidget);
    connect(m_connection, &ConnectionFlow::viewsChanged, this, &MainWindow::updateWorkingViews);
    connect(m_link, &L::setWaitPage, this, &MainWindow::Rsp_waitPage);
    connect(m_link, &L::send_explain_end, this, &MainWindow::showMessageWidget);
    connect(m_link, &L::repalceAllPage, this, &MainWindow::RspDataToDevice);
    connect(m_link, &L::repalceInCardMes, this, &MainWindow::RspInCardMes);
    connect(m_link, &L::repalceeSendPage, this, &MainWindow::update_grapichView);
    connect(m_link, &L::replaceWinPages, this, &MainWindow::updata_GrapichView);
    connect(m_link, &L::replaceWins, this, &MainWindow::updata_Models);
}

void MainWindow::loadFile()
{
    DeviceData &record = m_link->dm_data;
    record.setPaths(m_folder);
    readSettings(m_link, record.settingsPath, isEnglish);
    setLanguage(isEnglish);
    record.loadNames();
    // Changes the device may lack are held against the next connection's
    // read, which then asks instead of replacing them.
    if (!SettingsFile::changedPresets(record.settingsPath).isEmpty() && m_presets->loadDataFile())
        m_presets->showDevicePreset();
    m_formModel->setMyToolTips(record.modelNameList());
    updateWorkingViews();
    if (m_remoteControl)
        m_remote->start();
}

void MainWindow::serveStation(RemoteStation *station)
{
    m_remote->serve(station);
}

void MainWindow::setLanguage(int english)
{
    isEnglish = english;
    m_menus->setLanguage(english != 0);
    m_feedback->setEnglish(english != 0);
    m_data->setEnglish(english != 0);
    m_docks->setLanguage(english != 0);
    ui->mygraphicsview->setLanguage(isEnglish);
    m_presets->setLanguage(english != 0);
    m_remote->setEnglish(english != 0);
    m_dialogs->setEnglish(english != 0);
    m_offAir->setEnglish(english != 0);
    m_reconnectStatus->setEnglish(english != 0);
    m_backups->setEnglish(english != 0);
    updateUndoActions();
}

// No menu of tool bars and docks: the operator could hide the preset bar
// with no way to bring it back.
QMenu *MainWindow::createPopupMenu()
{
    return nullptr;
}

void MainWindow::updateWorkingViews()
{
    const bool linked = m_link->isConnected();
    const bool working = linked || m_offAir->isOffline();
    ui->mygraphicsview->setEnabled(working);
    m_docks->setEnabled(working);
    m_formModel->setEnabled(working);
    m_menus->showLinkState();
    updateUndoActions();
}

// Undo and redo of edits need the link or offline work, a preset on the
// canvas and a canvas not locked; those of a take recall, so they need the
// link only.
void MainWindow::updateUndoActions()
{
    const QUndoGroup &history = m_presets->history();
    const QUndoStack *stack = history.activeStack();
    const bool linked = m_link->isConnected();
    const bool editable = (linked || m_offAir->isOffline()) && m_presets->shown() >= 0
        && !ui->mygraphicsview->isLocked();
    const int next = stack ? stack->index() : 0;
    const bool canUndo = history.canUndo() && (takeAt(stack, next - 1) ? linked : editable);
    const bool canRedo = history.canRedo() && (takeAt(stack, next) ? linked : editable);
    m_menus->setEdits(history.undoText(), canUndo, history.redoText(), canRedo);
}

void MainWindow::offAirChanged()
{
    const MainMenus &menus = *m_menus;
    menus.blind->setChecked(m_offAir->isBlind());
    menus.take->setEnabled(m_offAir->canTake());
    menus.revert->setEnabled(m_offAir->canRevert());
    menus.workOffline->setChecked(m_offAir->isOffline());
    menus.workOffline->setEnabled(!m_link->isConnected());
    ui->canvasTitle->setText(m_offAir->title());
    ui->canvasTitle->setVisible(!ui->canvasTitle->text().isEmpty());
    updateUndoActions();
}

// Off: the data are kept in the data file, the views wait for the link.
void MainWindow::workOffline(bool on)
{
    if (!on) {
        m_presets->saveDataFile();
        m_offAir->setOffline(false);
    } else if (m_offAir->setOffline(true)) {
        m_formModel->setMyToolTips(m_link->dm_data.modelNameList());
        RspInCardMes();
        showWinList();
    } else {
        showMessageWidget(Message::NoWallKnown);
    }
    updateWorkingViews();
}

// ---- link results

// A failure of a remote client's request is answered to the client; the
// operator sees it in the status bar, not in a box that would hold the
// remote control up until closed.
void MainWindow::showMessageWidget(int code)
{
    if (m_actions->remoteCommandPending()) {
        const QString text = m_feedback->message(code).trimmed();
        qCWarning(lcApp) << "a remote request failed:" << text;
        ui->statusBar->showMessage(Bilingual(isEnglish != 0)("Remote request: ", "远程请求：") + text, RemoteMessageMs);
        return;
    }
    m_feedback->showMessage(code);
}

void MainWindow::RspViewMessage(int code)
{
    emit m_link->send_explain_end(code + Message::CanvasBase);
}

void MainWindow::Rsp_waitPage(bool close)
{
    if (close) {
        qCDebug(lcApp) << "colse wait page";
        m_feedback->closeWaitPages();
    } else {
        m_feedback->openWaitPage();
    }
}

void MainWindow::Rsp_Send_ResetView()
{
    if (!m_link->isConnected()) {
        showMessageWidget(Message::ConnectFirst);
        return;
    }
    m_wallWrite = m_link->send(LinkRequest::writeWall(FrameBuilder::wallOf(m_link->dm_data)));
}

// ---- windows, layers and presets

void MainWindow::updata_model(int n)
{
    if (n >= 0 && n < DeviceData::Presets)
        showWinList();
    updateUndoActions();
}

// The backups run in the preset on air: its windows are marked while the
// canvas shows it, never those of another preset with the same numbers.
void MainWindow::showBackups()
{
    const QMap<int, QString> notes =
        m_presets->shown() == m_presets->onAir() ? m_backups->notes() : QMap<int, QString>();
    m_docks->setWinBackups(notes);
    ui->mygraphicsview->setWindowBackups(notes);
}

void MainWindow::showWinList()
{
    m_docks->setWinSignals(ui->mygraphicsview->getWinSingle());
    ui->mygraphicsview->getWinLayer();
}

void MainWindow::RspWinLayerMes(const QList<int> &list)
{
    m_docks->setWinLayers(list);
}

void MainWindow::RspWinCreatSingle(int win, int code)
{
    m_docks->setWinSignal(win, DeviceData::channelName(code));
}

void MainWindow::RspModelName()
{
    if (m_presets->shown() != -1)
        m_data->askPresetName(m_presets->shown());
}

void MainWindow::RspInCardName()
{
    m_data->askInputName(m_docks->curSource());
}

void MainWindow::RspChargeCardName(int id, const QString &name)
{
    m_link->dm_data.setInCardName(name, id);
    RspInCardMes();
}

void MainWindow::Rsp_InCard()
{
    m_docks->showSources(m_link->dm_data);
}

void MainWindow::RspInCardMes()
{
    const QList<int> ids = m_link->dm_data.channelList();
    if (!ids.isEmpty())
        ui->mygraphicsview->curChannel = ids.first();
    Rsp_InCard();
    qCDebug(lcApp) << "end card";
}

// ---- rebuilds after device reports

void MainWindow::updata_GrapichView()
{
    qCDebug(lcApp) << "view";
    m_presets->showGrid();
    qCDebug(lcApp) << "end view";
    m_presets->showDevicePreset();
}

void MainWindow::update_grapichView()
{
    // Only while the operator's write is under way: one that failed, or a
    // link that went, must not let a later wall write (a full write) clear
    // the presets.
    if (m_wallWrite && !m_wallWrite->isFinished()) {
        qCDebug(lcApp) << "in delele model data";
        m_presets->emptyAll();
        m_wallWrite.clear();
    }
    updata_GrapichView();
}

void MainWindow::RspDataToDevice()
{
    DeviceData &record = m_link->dm_data;
    if (!m_presets->loadDataFile()) {
        // The tags match but there is no local copy to show (a first start
        // against a device whose tag equals the default one, or a lost
        // file): read the device's presets instead of showing nothing.
        qCWarning(lcApp) << "no readable" << record.configPath << "- reading the device";
        m_data->syncData();
        return;
    }
    RspInCardMes();
    m_formModel->setMyToolTips(record.modelNameList());
    m_presets->showDevicePreset();
}

void MainWindow::updata_Models()
{
    m_presets->rebuildFromDevice();
}

void MainWindow::RspLoadToDevice()
{
    if (!m_data->writeAllAndVerify())
        showMessageWidget(Message::NotRecognised);
}
