#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "applog.h"
#include "presetmarks.h"

#include <datafile.h>
#include <dialog_comset.h>
#include <dialog_singles.h>
#include <dialog_test.h>
#include <dialog_trimdata.h>
#include <dialog_verify.h>
#include <dialog_wait.h>
#include <form_incardset.h>
#include <form_model.h>
#include <form_title.h>
#include <ledsplice.h>
#include <linksettings.h>
#include <mynavtree.h>
#include <presetblocks.h>
#include <presetcheck.h>
#include <wallfile.h>
#include <singleton_serialport.h>
#include <trimming.h>

#include <QDataStream>
#include <QDockWidget>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QToolBar>
#include <QVector>

namespace {

using Command = CommandBuilder::Type;

// Time-outs of the wait page, in milliseconds.
enum Timeout {
    ShortWait = 5000,
    ReadAllWait = 70000,
    WallWait = 80000,
    FactoryWait = 150000,
    WriteAllWait = 250000,
};

constexpr int SourceTreeKind = 8;
constexpr int WinTreeKind = 9;
constexpr int CanvasMessageBase = 7;
constexpr int CannotSaveMessage = 11;
const char *const WindowTitle = "澜岳科技RZ5300多画面拼接处理器PC控制软件(V1.15)";

// The default data file: any non-empty name selects it.
const QString DefaultDataFile = QStringLiteral("default");

QByteArray canvasBytes(const MyGraphicsView *canvas)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::ReadWrite);
    canvas->fileSave(out);
    return bytes;
}

void loadCanvas(MyGraphicsView *canvas, const QByteArray &bytes)
{
    if (bytes.isEmpty()) {
        canvas->ClearAllData();
        return;
    }
    QDataStream in(bytes);
    if (!canvas->fileOpen(in))
        qCWarning(lcApp) << "stored preset could not be read; showing it empty";
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_link(Singleton_SerialPort::instance())
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(QString::fromUtf8(WindowTitle));
    buildMenus();
    buildContextMenus();
    buildDocks();
    connectActions();
    connectViews();
    connectLink();
    fillMessages();
    m_resetPending = false;
    QTimer::singleShot(0, this, &MainWindow::loadFile);
}

MainWindow::~MainWindow()
{
    if (m_firstConnectPending == 0) {
        updata_model(-1);
        writeSettings(isEnglish);
        m_link->dm_data.saveNames();
        m_link->dm_data.saveFile(DefaultDataFile);
    }
    delete ui;
}

QAction *MainWindow::newAction(QMenu *menu, const char *name)
{
    auto *action = new QAction(QStringLiteral("-"), this);
    action->setObjectName(QLatin1String(name));
    if (menu)
        menu->addAction(action);
    return action;
}

void MainWindow::buildMenus()
{
    const auto menu = [this](const char *name) {
        QMenu *added = ui->menuBar->addMenu(QStringLiteral("-"));
        added->setObjectName(QLatin1String(name));
        return added;
    };
    m_menuLanguage = menu("menuLanguage");
    m_actChinese = newAction(m_menuLanguage, "actionChinese");
    m_actEnglish = newAction(m_menuLanguage, "actionEnglish");
    m_menuLink = menu("menuCommunication");
    m_actConnect = newAction(m_menuLink, "actionConnect");
    m_actComSet = newAction(m_menuLink, "actionComSet");
    m_actComTest = newAction(m_menuLink, "actionComTest");
    m_menuDevice = menu("menuDeviceSettings");
    m_actLedMosaic = newAction(m_menuDevice, "actionLedMosaic");
    m_actInputSingle = newAction(m_menuDevice, "actionInputSingle");
    m_menuData = menu("menuDeviceData");
    m_actExport = newAction(m_menuData, "actionExport");
    m_actImport = newAction(m_menuData, "actionImport");
    m_actSync = newAction(m_menuData, "actionSync");
    m_actVerify = newAction(m_menuData, "actionVerify");
    m_actInit = newAction(m_menuData, "actionInit");
    m_menuLock = menu("menuWinLock");
    m_actLock = newAction(m_menuLock, "actionLock");
    m_actUnlock = newAction(m_menuLock, "actionUnlock");
    m_menuEdit = menu("menuEdit");
    m_actUndo = newAction(m_menuEdit, "actionUndo");
    m_actUndo->setShortcut(QKeySequence::Undo);
    m_actRedo = newAction(m_menuEdit, "actionRedo");
    m_actRedo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    for (QUndoStack *&history : m_histories)
        history = new QUndoStack(&m_undoGroup);

    QToolBar *presets = addToolBar(QStringLiteral("MyToolBar"));
    presets->setObjectName(QStringLiteral("MyToolBar"));
    presets->setMovable(false);
    m_formModel = new Form_Model(presets);
    m_marks = std::make_unique<PresetMarks>(m_formModel);
    presets->addWidget(m_formModel);
    ui->mainToolBar->hide();
    ui->statusBar->hide();
}

void MainWindow::buildContextMenus()
{
    m_sourceCardMenu = new QMenu(this);
    m_sourceCardMenu->setObjectName(QStringLiteral("menuSourceCard"));
    m_sourceCardMenu->addAction(m_actInputSingle);
    m_actPictureAttr = newAction(m_sourceCardMenu, "actionPictureAttribute");
    m_sourceCardMenu->addSeparator();
    m_actInputName = newAction(m_sourceCardMenu, "actionInputName");
    m_sourceMenu = new QMenu(this);
    m_sourceMenu->setObjectName(QStringLiteral("menuSource"));
    m_sourceMenu->addAction(m_actInputName);
    m_winMenu = new QMenu(this);
    m_winMenu->setObjectName(QStringLiteral("menuWin"));
    m_actTopFloor = newAction(m_winMenu, "actionTopFloor");
    m_actBottomFloor = newAction(m_winMenu, "actionBottomFloor");
}

void MainWindow::buildDocks()
{
    const auto dock = [this](const char *name, MyNavTree *tree, Qt::DockWidgetArea area) {
        auto *added = new QDockWidget(this);
        added->setObjectName(QLatin1String(name));
        added->setFeatures(QDockWidget::NoDockWidgetFeatures);
        tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
        tree->setContextMenuPolicy(Qt::CustomContextMenu);
        added->setWidget(tree);
        addDockWidget(area, added);
        return added;
    };
    m_sourceTree = new MyNavTree;
    m_sourceTree->setObjectName(QStringLiteral("sourceTree"));
    m_sourceTree->setDragDropMode(QAbstractItemView::DragOnly);
    m_sourceDock = dock("sourceDock", m_sourceTree, Qt::LeftDockWidgetArea);
    m_titleBar = new Form_title(m_sourceDock);
    m_sourceDock->setTitleBarWidget(m_titleBar);
    m_winTree = new MyNavTree;
    m_winTree->setObjectName(QStringLiteral("winTree"));
    m_winTree->setDragDropMode(QAbstractItemView::DropOnly);
    m_winDock = dock("winDock", m_winTree, Qt::RightDockWidgetArea);
}

void MainWindow::connectActions()
{
    MyGraphicsView *canvas = ui->mygraphicsview;
    connect(m_actChinese, &QAction::triggered, this, [this] { setLanguage(0); });
    connect(m_actEnglish, &QAction::triggered, this, [this] { setLanguage(1); });
    connect(m_actConnect, &QAction::triggered, this, &MainWindow::toggleConnection);
    connect(m_actComSet, &QAction::triggered, this, &MainWindow::openComSet);
    connect(m_actComTest, &QAction::triggered, this, &MainWindow::openComTest);
    connect(m_actLedMosaic, &QAction::triggered, this, &MainWindow::openLedMosaic);
    connect(m_actInputSingle, &QAction::triggered, this, &MainWindow::openInputSingle);
    connect(m_actExport, &QAction::triggered, this, &MainWindow::exportData);
    connect(m_actImport, &QAction::triggered, this, &MainWindow::importData);
    connect(m_actSync, &QAction::triggered, this, &MainWindow::syncData);
    connect(m_actVerify, &QAction::triggered, this, &MainWindow::verifyData);
    connect(m_actInit, &QAction::triggered, this, &MainWindow::initDevice);
    connect(m_actLock, &QAction::triggered, canvas, [this, canvas] {
        canvas->setLock(true);
        updateUndoActions();
    });
    connect(m_actUnlock, &QAction::triggered, canvas, [this, canvas] {
        canvas->setLock(false);
        updateUndoActions();
    });
    connect(m_actUndo, &QAction::triggered, &m_undoGroup, &QUndoGroup::undo);
    connect(m_actRedo, &QAction::triggered, &m_undoGroup, &QUndoGroup::redo);
    for (auto changed : {&QUndoGroup::canUndoChanged, &QUndoGroup::canRedoChanged})
        connect(&m_undoGroup, changed, this, &MainWindow::updateUndoActions);
    for (auto changed : {&QUndoGroup::undoTextChanged, &QUndoGroup::redoTextChanged})
        connect(&m_undoGroup, changed, this, &MainWindow::updateUndoActions);
    connect(m_actPictureAttr, &QAction::triggered, this, [this] { RspSetCard(m_curSource); });
    connect(m_actInputName, &QAction::triggered, this, &MainWindow::RspInCardName);
    connect(m_actTopFloor, &QAction::triggered, canvas, [this, canvas] { canvas->setTopLayerWin(m_curWin); });
    connect(m_actBottomFloor, &QAction::triggered, canvas,
            [this, canvas] { canvas->setButtonLayerWin(m_curWin); });
}

void MainWindow::connectViews()
{
    using V = MyGraphicsView;
    MyGraphicsView *canvas = ui->mygraphicsview;
    connect(m_formModel, &Form_Model::set_model, this, &MainWindow::updata_model);
    connect(canvas, &V::fine_tuning, this, &MainWindow::show_trimming);
    connect(canvas, &V::fine_tuning_data, this, &MainWindow::show_trimming_data);
    connect(canvas, &V::setModelName, this, &MainWindow::RspModelName);
    connect(canvas, &V::s_allMessage, this, &MainWindow::show_Win_mes);
    connect(canvas, &V::s_win_single, this, &MainWindow::show_Win_Single);
    connect(canvas, &V::ignore_message, this, &MainWindow::RspViewMessage);
    connect(canvas, &V::s_delteAll, this, &MainWindow::RspSendAllWin);
    connect(canvas, &V::s_win_mes, this, &MainWindow::RspWinLayerMes);
    connect(canvas, &V::s_creat_win, this, &MainWindow::RspWinCreatSingle);
    connect(m_sourceTree, &MyNavTree::customContextMenuRequested, this, &MainWindow::sourceMenuRequested);
    connect(m_winTree, &MyNavTree::customContextMenuRequested, this, &MainWindow::winMenuRequested);
    connect(m_winTree, &MyNavTree::chargeSingle, canvas, &V::setInCard);
    // The source chosen in the list is the channel of the next window drawn.
    connect(m_sourceTree->selectionModel(), &QItemSelectionModel::currentChanged, canvas,
            [this, canvas](const QModelIndex &index) {
                const int code = m_sourceTree->GetNowItemIndex(index);
                if (code >= 0)
                    canvas->curChannel = code;
            });
    connect(m_sourceTree, &MyNavTree::chargedata, this, &MainWindow::RspChargeCardName);
}

void MainWindow::connectLink()
{
    using L = Singleton_SerialPort;
    m_waitTimer.setSingleShot(true);
    connect(&m_waitTimer, &QTimer::timeout, this, &MainWindow::waitTimedOut);
    connect(m_link, &L::linkActivity, this, &MainWindow::linkActive);
    connect(m_link, &L::commandProgress, this, &MainWindow::linkProgress);
    connect(m_link, &L::repalceDeviceCopy, this, [this] { m_deviceCopyReady = true; });
    connect(m_link, &L::presetWritten, this, [this](int preset, int outcome) { m_marks->written(preset, outcome); });
    connect(m_link, &L::repalceCard, this, [this] {
        m_marks->setAll(PresetMarks::Confirmed);
        clearHistories();
    });
    connect(m_titleBar, &Form_title::updataCard, this, [this] { post(Command::ReadSignalFlags, ShortWait); });
    connect(m_link, &L::send_out_time, this, [this](int ms) { m_outTimeCount = ms; });
    connect(m_link, &L::isFistConnect, this, [this] { m_firstConnectPending = 0; });
    connect(m_link, &L::send_connect_end, this, &MainWindow::Rsp_Connect_Reslut);
    connect(m_link, &L::setWaitPage, this, &MainWindow::Rsp_waitPage);
    connect(m_link, &L::send_explain_end, this, &MainWindow::showMessageWidget);
    connect(m_link, &L::repalceAllPage, this, &MainWindow::RspDataToDevice);
    connect(m_link, &L::repalceInCardMes, this, &MainWindow::RspInCardMes);
    connect(m_link, &L::repalceeSendPage, this, &MainWindow::update_grapichView);
    connect(m_link, &L::replaceWinPages, this, &MainWindow::updata_GrapichView);
    connect(m_link, &L::replaceWins, this, &MainWindow::updata_Models);
}

void MainWindow::fillMessages()
{
    static const char *const messages[][2] = {
        {"Explain", "说明"},
        {"Operation succeeded", "操作成功"},
        {"opening failed", "连接失败"},
        {"The file is not recognized ", "文件无法识别"},
        {"Connect the machine before performing this operation. ", "请先连接机器,再执行本操作"},
        {"No connection, no instructions can be sent.", "没有连接,不能发送指令"},
        {"Command failed to send, please check the machine connection", "指令发送失败,请检查机器连接"},
        {"Send timeout, please try to resend", "发送超时,请尝试重新发送"},
        {"The currently selected position has no LED screen. ", "当前选中的位置没有LED屏"},
        {"The currently selected LED screen is full", "当前选中LED屏满了"},
        {"Please restart the startup", "请重新启动"},
        {"The file could not be saved", "文件无法保存"},
    };
    for (const auto &message : messages) {
        m_msgEnglish << QString::fromUtf8(message[0]);
        m_msgChinese << QString::fromUtf8(message[1]);
    }
}

QString MainWindow::text(const char *english, const char *chinese) const
{
    return QString::fromUtf8(isEnglish != 0 ? english : chinese);
}

void MainWindow::loadFile()
{
    readSettings(isEnglish);
    setLanguage(isEnglish);
    DeviceData &record = m_link->dm_data;
    record.setPaths();
    record.loadNames();
    m_formModel->setMyToolTips(record.modelNameList());
    setWorkingViewsEnabled(false);
}

void MainWindow::setLanguage(int english)
{
    m_titleBar->setLanguage(english != 0);
    isEnglish = english;
    m_connectTexts.clear();
    const struct
    {
        QAction *action;
        const char *english;
        const char *chinese;
    } captions[] = {
        {m_menuLanguage->menuAction(), "Language", "语言"},
        {m_actChinese, "Chinese", "中文"},
        {m_actEnglish, "English", "英文"},
        {m_menuLink->menuAction(), "Communication", "通讯连接"},
        {m_actConnect, "Connect", "打开连接"},
        {m_actComSet, "Communication Settings", "连接设置"},
        {m_actComTest, "Communication Test", "连接测试"},
        {m_menuDevice->menuAction(), "Device Setttings", "设备设置"},
        {m_actLedMosaic, "LED Mosaic", "LED拼接设置"},
        {m_actInputSingle, "Input Single", "输入卡信号"},
        {m_menuData->menuAction(), "Device Data", "设备数据"},
        {m_actExport, "Data Export", "数据导出"},
        {m_actImport, "Data Import", "数据导入"},
        {m_actSync, "Data Sync", "数据同步"},
        {m_actVerify, "Data Verify", "数据校验"},
        {m_actInit, "Data Init", "设备初始化"},
        {m_menuLock->menuAction(), "Win Lock", "窗口锁定"},
        {m_actLock, "Lock", "锁定"},
        {m_actUnlock, "Unlock", "解锁"},
        {m_menuEdit->menuAction(), "Edit", "编辑"},
        {m_actPictureAttr, "Picture attribute", "画面属性"},
        {m_actInputName, "Input source name", "输入源名称"},
        {m_actTopFloor, "Top floor", "顶层"},
        {m_actBottomFloor, "Bottom floor", "底层"},
    };
    for (const auto &caption : captions)
        caption.action->setText(text(caption.english, caption.chinese));
    m_initQuestion = text("Do you want to initialize the device?", "是否初始化设备？");
    m_connectTexts << text("Connect", "打开连接") << text("DisConnect", "断开连接");
    updateConnectText();

    const QString source = text("Source", "信号源");
    m_sourceTree->setTitle(source, SourceTreeKind);
    m_sourceDock->setWindowTitle(source);
    const QString wins = text("Win", "窗口");
    m_winTree->setTitle(wins, WinTreeKind);
    m_winDock->setWindowTitle(wins);
    ui->mygraphicsview->setLanguage(isEnglish);
    m_marks->setLanguage(isEnglish != 0);
    updateUndoActions();
}

// The action names what it will do: connect while the link is down,
// disconnect while it is up, also after a language switch.
void MainWindow::updateConnectText()
{
    m_actConnect->setText(m_connectTexts.value(m_link->isConnected() ? 1 : 0));
}

// No menu of tool bars and docks: the operator could hide the preset bar
// with no way to bring it back.
QMenu *MainWindow::createPopupMenu()
{
    return nullptr;
}

void MainWindow::setWorkingViewsEnabled(bool enabled)
{
    ui->mygraphicsview->setEnabled(enabled);
    m_sourceDock->setEnabled(enabled);
    m_winDock->setEnabled(enabled);
    m_formModel->setEnabled(enabled);
    m_actVerify->setEnabled(enabled);
    updateUndoActions();
}

// Undo and redo name the edit ("Undo Move Win3"); they need the link, a
// preset on the canvas and a canvas not locked.
void MainWindow::updateUndoActions()
{
    const bool editable = m_link->isConnected() && m_curModel >= 0 && !ui->mygraphicsview->isLocked();
    const auto label = [](const QString &verb, const QString &edit) {
        return edit.isEmpty() ? verb : verb + QLatin1Char(' ') + edit;
    };
    m_actUndo->setText(label(text("Undo", "撤销"), m_undoGroup.undoText()));
    m_actRedo->setText(label(text("Redo", "重做"), m_undoGroup.redoText()));
    m_actUndo->setEnabled(editable && m_undoGroup.canUndo());
    m_actRedo->setEnabled(editable && m_undoGroup.canRedo());
}

// Each preset keeps its own history while it is not shown.
void MainWindow::showHistory(int preset)
{
    QUndoStack *history = preset >= 0 ? m_histories[size_t(preset)] : nullptr;
    m_undoGroup.setActiveStack(history);
    ui->mygraphicsview->setUndoStack(history);
    updateUndoActions();
}

// The presets were replaced as a whole: no edit of before applies to them.
void MainWindow::clearHistories()
{
    for (QUndoStack *history : m_histories)
        history->clear();
}

void MainWindow::post(int type, int timeoutMs)
{
    emit m_link->send_out_time(timeoutMs);
    m_link->postCommand(type);
}

void MainWindow::runDialog(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->exec();
}

// ---- menu actions

void MainWindow::toggleConnection()
{
    if (m_link->isConnected()) {
        m_userDisconnect = 1;
        m_link->postCommand(Command::Disconnect);
    } else {
        m_link->postCommand(Command::Connect);
    }
}

void MainWindow::openComSet()
{
    auto *dialog = new Dialog_ComSet(isEnglish != 0, this);
    connect(m_link, &Singleton_SerialPort::repalceConnect, dialog, &Dialog_ComSet::initPage);
    runDialog(dialog);
}

// The dialog listens before the read goes out: over a fast link the
// versions can be in before the next line of this function runs.
void MainWindow::openComTest()
{
    if (!m_link->isConnected()) {
        post(Command::ReadVersions, ReadAllWait);
        return;
    }
    auto *dialog = new Dialog_Test(isEnglish != 0, this);
    connect(m_link, &Singleton_SerialPort::repalceVersion, dialog, &Dialog_Test::InitPage);
    post(Command::ReadVersions, ReadAllWait);
    runDialog(dialog);
}

void MainWindow::openLedMosaic()
{
    if (!m_link->isConnected())
        return;
    auto *dialog = new LEDsplice(isEnglish != 0, this);
    connect(dialog, &LEDsplice::sendSignal, this, &MainWindow::Rsp_Send_ResetView);
    runDialog(dialog);
}

void MainWindow::openInputSingle()
{
    if (!m_link->isConnected())
        return;
    auto *dialog = new Dialog_Singles(isEnglish != 0, this);
    connect(dialog, &Dialog_Singles::chargeSingle, this, &MainWindow::RspInCardMes);
    runDialog(dialog);
}

void MainWindow::exportData()
{
    storeCanvas();
    const int result = m_link->dm_data.saveFile(QString());
    if (result == DataFile::Done)
        showMessageWidget(1);
    else if (result == DataFile::CannotOpen)
        showMessageWidget(CannotSaveMessage);
}

// The file replaces the host's data only when all of it can be sent.
void MainWindow::importData()
{
    if (!m_link->isConnected())
        return;
    DeviceData &record = m_link->dm_data;
    const DeviceData before = record;
    const int result = record.openFile(QString());
    if (result == DataFile::NothingChosen)
        return;
    if (result != DataFile::Done || !loadToDevice()) {
        record = before;
        showMessageWidget(3);
    }
}

void MainWindow::syncData()
{
    if (!m_link->isConnected())
        return;
    emit m_link->send_out_time(ReadAllWait);
    m_link->dm_lastCheckSum.clear();
    m_link->dm_checkSum.clear();
    m_link->postCommand(Command::ConnectionRead);
}

void MainWindow::initDevice()
{
    if (!m_link->isConnected())
        return;
    const QMessageBox::StandardButton answer = QMessageBox::information(
        nullptr, (isEnglish != 0 ? m_msgEnglish : m_msgChinese).at(0), m_initQuestion,
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        post(Command::RestoreFactory, FactoryWait);
}

void MainWindow::sourceMenuRequested(const QPoint &pos)
{
    m_curSource = m_sourceTree->GetNowItemIndex(m_sourceTree->indexAt(pos));
    if (m_curSource == -1)
        return;
    (m_curSource < DeviceData::InCardEntries ? m_sourceCardMenu : m_sourceMenu)->popup(QCursor::pos());
}

void MainWindow::winMenuRequested(const QPoint &pos)
{
    m_curWin = m_winTree->GetNowItemIndex(m_winTree->indexAt(pos));
    if (m_curWin != -1)
        m_winMenu->popup(QCursor::pos());
}

// ---- link results

void MainWindow::showMessageWidget(int code)
{
    const QStringList &messages = isEnglish != 0 ? m_msgEnglish : m_msgChinese;
    if (code < 0 || code >= messages.size()) {
        qCWarning(lcApp) << "no message with code" << code;
        return;
    }
    QMessageBox::about(nullptr, messages.at(0), messages.at(code));
}

void MainWindow::RspViewMessage(int code)
{
    emit m_link->send_explain_end(code + CanvasMessageBase);
}

void MainWindow::Rsp_Connect_Reslut()
{
    qCDebug(lcApp) << "dm_connect_statu = " << m_link->dm_connect_statu;
    if (m_link->isConnected()) {
        post(Command::ConnectionRead, ReadAllWait);
        updateConnectText();
        setWorkingViewsEnabled(true);
        return;
    }
    // The link is gone: nothing more can answer a wait page.
    closeWaitPages();
    if (m_firstConnectPending == 0) {
        storeCanvas();
        m_link->dm_data.saveFile(DefaultDataFile);
    }
    setWorkingViewsEnabled(false);
    updateConnectText();
    if (m_userDisconnect == 0)
        showMessageWidget(2);
    m_userDisconnect = 0;
}

void MainWindow::Rsp_waitPage(bool close)
{
    if (close) {
        qCDebug(lcApp) << "colse wait page";
        closeWaitPages();
        return;
    }
    Dialog_wait page(isEnglish != 0, nullptr);
    connect(this, &MainWindow::closeWait, &page, &QDialog::close);
    connect(this, &MainWindow::waitProgress, &page, &Dialog_wait::showProgress);
    qCDebug(lcApp) << m_outTimeCount << "= m_outTimeCount";
    m_waitTimer.start(m_outTimeCount);
    ++m_openWaitPages;
    page.exec();
    --m_openWaitPages;
}

// A wall write is pending only while its wait page is up: a wall write
// that failed, or a link that went, must not let a later one clear the
// presets.
void MainWindow::closeWaitPages()
{
    m_waitTimer.stop();
    m_resetPending = false;
    emit closeWait();
    // A verify read's result shows once its page is gone.
    if (std::exchange(m_deviceCopyReady, false))
        QTimer::singleShot(0, this, &MainWindow::showVerifyResult);
}

void MainWindow::linkProgress(int command, int framesDone, int framesTotal, qint64 bytesDone,
                              qint64 bytesTotal)
{
    const WaitProgress::Page page =
        m_progress.update(command, framesDone, framesTotal, bytesDone, bytesTotal, isEnglish != 0);
    emit waitProgress(page.text, page.value, page.maximum);
}

// Each frame sent and each reply taken gives the device the whole time-out
// again: the page gives up only when the link has stood still that long.
void MainWindow::linkActive(int activity)
{
    m_linkActivity = activity;
    if (m_openWaitPages > 0)
        m_waitTimer.start(m_outTimeCount);
}

// The link sends the frame in flight again or gives up with message 7. A
// device that never completed a first connection is not waited for again.
void MainWindow::waitTimedOut()
{
    qCDebug(lcApp) << "out time";
    m_waitTimer.stop();
    if (m_firstConnectPending == 0) {
        m_link->postWaitTimedOut(m_linkActivity);
        return;
    }
    m_link->postSendFailed(2);
    m_link->postCommand(Command::Disconnect);
}

void MainWindow::Rsp_Send_ResetView()
{
    if (!m_link->isConnected()) {
        showMessageWidget(4);
        return;
    }
    m_resetPending = true;
    post(Command::WriteWall, WallWait);
}

// ---- windows, layers and presets

void MainWindow::storeCanvas()
{
    if (m_curModel >= 0)
        m_link->dm_data.modelView[size_t(m_curModel)] = canvasBytes(ui->mygraphicsview);
}

void MainWindow::updata_model(int n)
{
    MyGraphicsView *canvas = ui->mygraphicsview;
    DeviceData &record = m_link->dm_data;
    canvas->setDisSend();
    storeCanvas();
    if (n >= 0 && n < DeviceData::Presets) {
        m_curModel = n;
        if (m_modelSendEnabled) {
            emit m_link->send_out_time(ShortWait);
            record.curModel = n;
            m_link->postCommand(Command::RecallPreset);
        }
        loadCanvas(canvas, record.modelView[size_t(n)]);
        m_winSignals = canvas->getWinSingle();
        canvas->getWinLayer();
        showHistory(n);
    }
    canvas->setSend();
}

// Shows the device's current preset without recalling it on the device;
// the canvas on show is not written back into any preset.
void MainWindow::selectDevicePreset()
{
    m_modelSendEnabled = false;
    m_curModel = -1;
    m_formModel->setSelIndex(m_link->dm_data.curModel);
    m_modelSendEnabled = true;
}

void MainWindow::refreshWinTree()
{
    QStringList names;
    QList<int> ids;
    for (int win : qAsConst(m_winLayers)) {
        names << QStringLiteral("Win%1 [%2]").arg(win + 1).arg(m_winSignals.value(win));
        ids << win;
    }
    m_winTree->addValue(names, ids, QVector<int>(ids.size(), WinTreeKind).toList());
}

void MainWindow::RspWinLayerMes(QList<int> list)
{
    m_winLayers = list;
    refreshWinTree();
}

void MainWindow::RspWinCreatSingle(int win, int code)
{
    m_winSignals.insert(win, DeviceData::channelName(code));
    refreshWinTree();
}

void MainWindow::show_Win_Single(QByteArray bytes)
{
    RspWinCreatSingle(quint8(bytes.at(0)), quint8(bytes.at(1)));
    if (m_curModel == -1)
        return;
    m_link->dm_sendBuf = bytes;
    post(Command::SetWindowSignal, ShortWait);
}

void MainWindow::show_Win_mes(QByteArray bytes)
{
    if (m_curModel == -1)
        return;
    emit m_link->send_out_time(ShortWait);
    m_link->dm_sendBuf = bytes;
    m_link->postCommand(Command::WriteWindows);
}

void MainWindow::RspSendAllWin()
{
    if (m_curModel != -1)
        post(Command::DeleteWindows, ShortWait);
}

bool MainWindow::askName(const QString &title, const QString &label, QString *name) const
{
    bool ok = false;
    const QString typed = QInputDialog::getText(nullptr, title, label, QLineEdit::Normal, *name, &ok);
    if (ok)
        *name = typed.trimmed();
    return ok;
}

void MainWindow::RspModelName()
{
    if (m_curModel == -1)
        return;
    DeviceData &record = m_link->dm_data;
    QString name = record.modelName(m_curModel);
    if (!askName(text("Model Name", "模式名称"), text("Please input model name", "请输入模式名称..."),
                 &name))
        return;
    m_formModel->setMyToolTip(name);
    record.setModelName(name, m_curModel);
}

void MainWindow::RspInCardName()
{
    DeviceData &record = m_link->dm_data;
    QString name = record.inCardName(m_curSource);
    if (!askName(text("Incard Name", "输入卡名称"), text("Please input incard name", "请输入输入卡名称..."),
                 &name))
        return;
    record.setInCardName(name, m_curSource);
    RspInCardMes();
}

void MainWindow::RspChargeCardName(int id, QString name)
{
    m_link->dm_data.setInCardName(name, id);
    RspInCardMes();
}

void MainWindow::Rsp_InCard()
{
    const DeviceData &record = m_link->dm_data;
    const QList<int> ids = record.channelList();
    m_sourceTree->addValue(record.channelLabels(ids, record.channelSignalList()), ids,
                           record.channelStateList());
}

void MainWindow::RspInCardMes()
{
    const QList<int> ids = m_link->dm_data.channelList();
    if (!ids.isEmpty())
        ui->mygraphicsview->curChannel = ids.first();
    Rsp_InCard();
    qCDebug(lcApp) << "end card";
}

void MainWindow::RspSetCard(int card)
{
    runDialog(new Form_InCardSet(card, isEnglish != 0, this));
}

void MainWindow::show_trimming(int win)
{
    MyGraphicsView *canvas = ui->mygraphicsview;
    auto *dialog = new Trimming(isEnglish != 0, this);
    const QList<int> table = canvas->getItemRect(win);
    connect(dialog, &Trimming::endTrim, canvas, &MyGraphicsView::setTrim);
    const DeviceData &record = m_link->dm_data;
    dialog->initTrim(win, table, record.outWidth, record.outHeight);
    runDialog(dialog);
}

void MainWindow::show_trimming_data(QList<int> values)
{
    MyGraphicsView *canvas = ui->mygraphicsview;
    auto *dialog = new Dialog_trimdata(isEnglish != 0, this);
    connect(dialog, &Dialog_trimdata::setInRect, canvas, &MyGraphicsView::setTrimInRect);
    connect(dialog, &Dialog_trimdata::setOutRect, canvas, &MyGraphicsView::setTrimOutRect);
    dialog->setData(values);
    runDialog(dialog);
}

// ---- rebuilds after device reports

void MainWindow::initCanvasGrid(int width, int height)
{
    const DeviceData &record = m_link->dm_data;
    ui->mygraphicsview->initData(record.colWidths.data(), record.rowHeights.data(), record.rows(),
                                 record.cols(), record.outMode2, width, height);
}

void MainWindow::updata_GrapichView()
{
    qCDebug(lcApp) << "view";
    initCanvasGrid(1920, 1080);
    qCDebug(lcApp) << "end view";
    selectDevicePreset();
}

void MainWindow::update_grapichView()
{
    if (m_resetPending) {
        qCDebug(lcApp) << "in delele model data";
        DeviceData &record = m_link->dm_data;
        record.curModel = 0;
        record.clearModelViews();
        ui->mygraphicsview->ClearAllData();
        m_resetPending = false;
        m_marks->setAll(PresetMarks::Confirmed); // the device empties its presets too
        clearHistories();
    }
    updata_GrapichView();
}

void MainWindow::RspDataToDevice()
{
    DeviceData &record = m_link->dm_data;
    if (record.openFile(DefaultDataFile) != 1) {
        // The tags match but there is no local copy to show (a first start
        // against a device whose tag equals the default one, or a lost
        // file): read the device's presets instead of showing nothing.
        qCWarning(lcApp) << "no readable" << record.configPath << "- reading the device";
        syncData();
        return;
    }
    initCanvasGrid(1920, 1080);
    RspInCardMes();
    m_formModel->setMyToolTips(record.modelNameList());
    m_marks->setAll(PresetMarks::Unknown); // the file is trusted, not checked
    clearHistories();
    selectDevicePreset();
}

// The presets are rebuilt on the model alone, as the canvas would rebuild
// them; only the one shown then goes through the canvas.
void MainWindow::updata_Models()
{
    MyGraphicsView *canvas = ui->mygraphicsview;
    DeviceData &record = m_link->dm_data;
    canvas->setDisSend();
    for (size_t m = 0; m < DeviceData::Presets; ++m) {
        record.modelView[m] = WallFile::bytes(PresetCheck::devicePreset(record, int(m)));
        record.modelWins[m].clear();
    }
    m_marks->setAll(PresetMarks::Confirmed);
    clearHistories();
    selectDevicePreset();
    canvas->setSend();
}

void MainWindow::RspLoadToDevice()
{
    if (!loadToDevice())
        showMessageWidget(3);
}

// Writes the wall, every preset and the current preset as one batch;
// sends nothing when a stored preset cannot be read, as the device would
// otherwise take it for an empty one.
bool MainWindow::loadToDevice()
{
    const DeviceData &record = m_link->dm_data;
    PresetBlocks blocks;
    if (record.curModel < 0 || record.curModel >= DeviceData::Presets || !blocks.build(record)) {
        qCWarning(lcApp) << "the data set cannot be sent whole; nothing sent";
        return false;
    }
    m_curModel = -1;
    showHistory(-1);
    clearHistories();
    m_link->dm_sendEnable = 0;
    post(Command::WriteWall, WriteAllWait);
    m_link->dm_allDataList = blocks.windows;
    m_link->dm_inDataList = blocks.sources;
    m_link->dm_chDataList = blocks.channels;
    m_link->dm_presetList.clear();
    m_link->postCommand(Command::WriteAllPresets);
    m_link->postCommand(Command::RecallPreset);
    m_link->postCommand(Command::EndOfBatch);
    m_formModel->setMyToolTips(record.modelNameList());
    RspInCardMes(); // the file brings its own names
    verifyData(); // what was written is read back and compared
    return true;
}

// Reads the device's wall, current preset and presets beside the host's;
// the result shows when the read is complete.
void MainWindow::verifyData()
{
    if (!m_link->isConnected())
        return;
    storeCanvas();
    m_deviceCopyReady = false;
    post(Command::VerifyRead, ReadAllWait);
}

void MainWindow::showVerifyResult()
{
    const DeviceData &record = m_link->dm_data;
    const DeviceData &device = m_link->dm_deviceCopy;
    const PresetCheck check(record, device);
    for (int m = 0; m < PresetCheck::Presets; ++m)
        m_marks->set(m, check.preset(m).same() ? PresetMarks::Confirmed : PresetMarks::ChangedHere);
    auto *dialog = new Dialog_Verify(isEnglish != 0, check, record, device, this);
    connect(dialog, &Dialog_Verify::sendMine, this, [this, check] { sendMine(check); });
    connect(dialog, &Dialog_Verify::takeDevices, this, &MainWindow::takeDevices);
    runDialog(dialog);
}

// The host's presets that differ go to the device whole, then everything
// is verified again. A wall that differs goes first, and as it empties the
// device's presets, all of them follow.
void MainWindow::sendMine(const PresetCheck &check)
{
    if (!check.wallSame()) {
        if (!loadToDevice())
            showMessageWidget(3);
        return;
    }
    PresetBlocks blocks;
    if (!blocks.build(m_link->dm_data)) {
        showMessageWidget(3);
        return;
    }
    m_link->dm_allDataList.clear();
    m_link->dm_inDataList.clear();
    m_link->dm_chDataList.clear();
    m_link->dm_presetList = check.differingPresets();
    for (int m : qAsConst(m_link->dm_presetList)) {
        m_link->dm_allDataList << blocks.windows.at(m);
        m_link->dm_inDataList << blocks.sources.at(m);
        m_link->dm_chDataList << blocks.channels.at(m);
    }
    if (!m_link->dm_presetList.isEmpty())
        post(Command::WriteAllPresets, WriteAllWait);
    m_link->dm_presetList.clear();
    if (!check.currentSame())
        post(Command::RecallPreset, ShortWait);
    verifyData();
}

// The device's copy becomes the host's, as after a connection read.
void MainWindow::takeDevices()
{
    DeviceData &record = m_link->dm_data;
    const DeviceData &device = m_link->dm_deviceCopy;
    record.colWidths = device.colWidths;
    record.rowHeights = device.rowHeights;
    record.outMode2 = device.outMode2;
    record.outResolution = device.outResolution;
    record.setResolution(device.outResolution);
    record.curModel = device.curModel;
    record.modelWins = device.modelWins;
    record.modelLayer = device.modelLayer;
    record.modelWinCount = device.modelWinCount;
    initCanvasGrid(1920, 1080);
    updata_Models();
}
