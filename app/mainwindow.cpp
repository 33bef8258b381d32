#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "applog.h"
#include "linkfeedback.h"
#include "mainmenus.h"
#include "presetstore.h"

#include <commandtype.h>
#include <datafile.h>
#include <dialog_comset.h>
#include <dialog_singles.h>
#include <dialog_test.h>
#include <dialog_trimdata.h>
#include <dialog_verify.h>
#include <form_incardset.h>
#include <form_model.h>
#include <form_title.h>
#include <ledsplice.h>
#include <linksettings.h>
#include <messagecode.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <presetcheck.h>
#include <singleton_serialport.h>
#include <trimming.h>

#include <QDockWidget>
#include <QInputDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolBar>
#include <QVector>

namespace {

constexpr int SourceTreeKind = 8;
constexpr int WinTreeKind = 9;
const char *const WindowTitle = "澜岳科技RZ5300多画面拼接处理器PC控制软件(V1.15)";

// The default data file: any non-empty name selects it.
const QString DefaultDataFile = QStringLiteral("default");

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent)
    , m_link(Singleton_SerialPort::instance())
    , ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    setWindowTitle(QString::fromUtf8(WindowTitle));
    m_menus = std::make_unique<MainMenus>(this);
    buildPresetBar();
    buildDocks();
    m_feedback = new LinkFeedback(m_link, this);
    m_presets = new PresetStore(ui->mygraphicsview, m_formModel, m_link, this);
    connectActions();
    connectViews();
    connectLink();
    QTimer::singleShot(0, this, &MainWindow::loadFile);
}

MainWindow::~MainWindow()
{
    if (!m_feedback->firstConnectPending()) {
        updata_model(-1);
        writeSettings(isEnglish);
        m_link->dm_data.saveNames();
        m_link->dm_data.saveFile(DefaultDataFile);
    }
    delete ui;
}

void MainWindow::buildPresetBar()
{
    QToolBar *presets = addToolBar(QStringLiteral("MyToolBar"));
    presets->setObjectName(QStringLiteral("MyToolBar"));
    presets->setMovable(false);
    m_formModel = new Form_Model(presets);
    presets->addWidget(m_formModel);
    ui->mainToolBar->hide();
    ui->statusBar->hide();
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
    const MainMenus &menus = *m_menus;
    connect(menus.chinese, &QAction::triggered, this, [this] { setLanguage(0); });
    connect(menus.english, &QAction::triggered, this, [this] { setLanguage(1); });
    connect(menus.connect, &QAction::triggered, this, &MainWindow::toggleConnection);
    connect(menus.comSet, &QAction::triggered, this, &MainWindow::openComSet);
    connect(menus.comTest, &QAction::triggered, this, &MainWindow::openComTest);
    connect(menus.ledMosaic, &QAction::triggered, this, &MainWindow::openLedMosaic);
    connect(menus.inputSingle, &QAction::triggered, this, &MainWindow::openInputSingle);
    connect(menus.exportData, &QAction::triggered, this, &MainWindow::exportData);
    connect(menus.importData, &QAction::triggered, this, &MainWindow::importData);
    connect(menus.sync, &QAction::triggered, this, &MainWindow::syncData);
    connect(menus.verify, &QAction::triggered, this, &MainWindow::verifyData);
    connect(menus.init, &QAction::triggered, this, &MainWindow::initDevice);
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
    connect(menus.pictureAttribute, &QAction::triggered, this, [this] { RspSetCard(m_curSource); });
    connect(menus.inputName, &QAction::triggered, this, &MainWindow::RspInCardName);
    connect(menus.topFloor, &QAction::triggered, canvas, [this, canvas] { canvas->setTopLayerWin(m_curWin); });
    connect(menus.bottomFloor, &QAction::triggered, canvas,
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
    connect(m_feedback, &LinkFeedback::closeWait, this, &MainWindow::closeWait);
    connect(m_feedback, &LinkFeedback::waitProgress, this, &MainWindow::waitProgress);
    connect(m_feedback, &LinkFeedback::waitPagesClosed, this, &MainWindow::waitPagesClosed);
    connect(m_link, &L::repalceDeviceCopy, this, [this] { m_deviceCopyReady = true; });
    connect(m_link, &L::repalceCard, this, [this] { m_presets->emptyAll(); });
    connect(m_titleBar, &Form_title::updataCard, this,
            [this] { m_link->post(Command::ReadSignalFlags, Command::ShortWait); });
    connect(m_link, &L::send_connect_end, this, &MainWindow::Rsp_Connect_Reslut);
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
    m_text.setEnglish(english != 0);
    m_menus->setLanguage(english != 0);
    m_menus->setConnected(m_link->isConnected());
    m_feedback->setEnglish(english != 0);
    const QString source = m_text("Source", "信号源");
    m_sourceTree->setTitle(source, SourceTreeKind);
    m_sourceDock->setWindowTitle(source);
    const QString wins = m_text("Win", "窗口");
    m_winTree->setTitle(wins, WinTreeKind);
    m_winDock->setWindowTitle(wins);
    ui->mygraphicsview->setLanguage(isEnglish);
    m_presets->marks().setLanguage(english != 0);
    updateUndoActions();
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
    m_menus->verify->setEnabled(enabled);
    updateUndoActions();
}

// Undo and redo need the link, a preset on the canvas and a canvas not
// locked.
void MainWindow::updateUndoActions()
{
    const QUndoGroup &history = m_presets->history();
    const bool editable = m_link->isConnected() && m_presets->shown() >= 0 && !ui->mygraphicsview->isLocked();
    m_menus->setEdits(history.undoText(), editable && history.canUndo(), history.redoText(),
                      editable && history.canRedo());
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
        m_link->post(Command::ReadVersions, Command::ReadAllWait);
        return;
    }
    auto *dialog = new Dialog_Test(isEnglish != 0, this);
    connect(m_link, &Singleton_SerialPort::repalceVersion, dialog, &Dialog_Test::InitPage);
    m_link->post(Command::ReadVersions, Command::ReadAllWait);
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
    m_presets->store();
    const int result = m_link->dm_data.saveFile(QString());
    if (result == DataFile::Done)
        showMessageWidget(Message::Succeeded);
    else if (result == DataFile::CannotOpen)
        showMessageWidget(Message::CannotSave);
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
    if (result != DataFile::Done || !writeAllAndVerify()) {
        record = before;
        showMessageWidget(Message::NotRecognised);
    }
}

// What was written is read back and compared; the data may bring names of
// their own.
bool MainWindow::writeAllAndVerify()
{
    if (!m_presets->writeAll())
        return false;
    m_formModel->setMyToolTips(m_link->dm_data.modelNameList());
    RspInCardMes();
    verifyData();
    return true;
}

void MainWindow::syncData()
{
    if (!m_link->isConnected())
        return;
    m_link->dm_lastCheckSum.clear();
    m_link->dm_checkSum.clear();
    m_link->post(Command::ConnectionRead, Command::ReadAllWait);
}

// Reads the device's wall, current preset and presets beside the host's;
// the result shows when the read is complete.
void MainWindow::verifyData()
{
    if (!m_link->isConnected())
        return;
    m_presets->store();
    m_deviceCopyReady = false;
    m_link->post(Command::VerifyRead, Command::ReadAllWait);
}

void MainWindow::showVerifyResult()
{
    const DeviceData &record = m_link->dm_data;
    const DeviceData &device = m_link->dm_deviceCopy;
    const PresetCheck check(record, device);
    for (int m = 0; m < PresetCheck::Presets; ++m)
        m_presets->marks().set(m, check.preset(m).same() ? PresetMarks::Confirmed : PresetMarks::ChangedHere);
    auto *dialog = new Dialog_Verify(isEnglish != 0, check, record, device, this);
    connect(dialog, &Dialog_Verify::sendMine, this, [this, check] { sendMine(check); });
    connect(dialog, &Dialog_Verify::takeDevices, m_presets, &PresetStore::takeDeviceCopy);
    runDialog(dialog);
}

// The host's presets that differ go to the device whole, then everything
// is verified again.
void MainWindow::sendMine(const PresetCheck &check)
{
    if (m_presets->writeDiffering(check))
        verifyData();
    else
        showMessageWidget(Message::NotRecognised);
}

void MainWindow::initDevice()
{
    if (!m_link->isConnected())
        return;
    const QMessageBox::StandardButton answer = QMessageBox::information(
        nullptr, m_feedback->message(Message::Title),
        m_text("Do you want to initialize the device?", "是否初始化设备？"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer == QMessageBox::Yes)
        m_link->post(Command::RestoreFactory, Command::FactoryWait);
}

void MainWindow::sourceMenuRequested(const QPoint &pos)
{
    m_curSource = m_sourceTree->GetNowItemIndex(m_sourceTree->indexAt(pos));
    if (m_curSource == -1)
        return;
    (m_curSource < DeviceData::InCardEntries ? m_menus->sourceCardMenu : m_menus->sourceMenu)
        ->popup(QCursor::pos());
}

void MainWindow::winMenuRequested(const QPoint &pos)
{
    m_curWin = m_winTree->GetNowItemIndex(m_winTree->indexAt(pos));
    if (m_curWin != -1)
        m_menus->winMenu->popup(QCursor::pos());
}

// ---- link results

void MainWindow::showMessageWidget(int code)
{
    m_feedback->showMessage(code);
}

void MainWindow::RspViewMessage(int code)
{
    emit m_link->send_explain_end(code + Message::CanvasBase);
}

void MainWindow::Rsp_Connect_Reslut()
{
    qCDebug(lcApp) << "dm_connect_statu = " << m_link->dm_connect_statu;
    if (m_link->isConnected()) {
        m_link->post(Command::ConnectionRead, Command::ReadAllWait);
        m_menus->setConnected(true);
        setWorkingViewsEnabled(true);
        return;
    }
    // The link is gone: nothing more can answer a wait page.
    m_feedback->closeWaitPages();
    if (!m_feedback->firstConnectPending()) {
        m_presets->store();
        m_link->dm_data.saveFile(DefaultDataFile);
    }
    setWorkingViewsEnabled(false);
    m_menus->setConnected(false);
    if (m_userDisconnect == 0)
        showMessageWidget(Message::OpeningFailed);
    m_userDisconnect = 0;
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

// A wall write is pending only while its wait page is up: a wall write
// that failed, or a link that went, must not let a later one clear the
// presets. A verify read's result shows once its page is gone.
void MainWindow::waitPagesClosed()
{
    m_resetPending = false;
    if (std::exchange(m_deviceCopyReady, false))
        QTimer::singleShot(0, this, &MainWindow::showVerifyResult);
}

void MainWindow::Rsp_Send_ResetView()
{
    if (!m_link->isConnected()) {
        showMessageWidget(Message::ConnectFirst);
        return;
    }
    m_resetPending = true;
    m_link->post(Command::WriteWall, Command::WallWait);
}

// ---- windows, layers and presets

void MainWindow::updata_model(int n)
{
    m_presets->show(n);
    if (n >= 0 && n < DeviceData::Presets) {
        m_winSignals = ui->mygraphicsview->getWinSingle();
        ui->mygraphicsview->getWinLayer();
    }
    updateUndoActions();
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
    if (m_presets->shown() == -1)
        return;
    m_link->dm_sendBuf = bytes;
    m_link->post(Command::SetWindowSignal, Command::ShortWait);
}

void MainWindow::show_Win_mes(QByteArray bytes)
{
    if (m_presets->shown() == -1)
        return;
    m_link->dm_sendBuf = bytes;
    m_link->post(Command::WriteWindows, Command::ShortWait);
}

void MainWindow::RspSendAllWin()
{
    if (m_presets->shown() != -1)
        m_link->post(Command::DeleteWindows, Command::ShortWait);
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
    const int preset = m_presets->shown();
    if (preset == -1)
        return;
    DeviceData &record = m_link->dm_data;
    QString name = record.modelName(preset);
    if (!askName(m_text("Model Name", "模式名称"), m_text("Please input model name", "请输入模式名称..."), &name))
        return;
    m_formModel->setMyToolTip(name);
    record.setModelName(name, preset);
}

void MainWindow::RspInCardName()
{
    DeviceData &record = m_link->dm_data;
    QString name = record.inCardName(m_curSource);
    if (!askName(m_text("Incard Name", "输入卡名称"), m_text("Please input incard name", "请输入输入卡名称..."),
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

void MainWindow::updata_GrapichView()
{
    qCDebug(lcApp) << "view";
    m_presets->showGrid(1920, 1080);
    qCDebug(lcApp) << "end view";
    m_presets->showDevicePreset();
}

void MainWindow::update_grapichView()
{
    if (m_resetPending) {
        qCDebug(lcApp) << "in delele model data";
        m_presets->emptyAll();
        m_resetPending = false;
    }
    updata_GrapichView();
}

void MainWindow::RspDataToDevice()
{
    DeviceData &record = m_link->dm_data;
    if (record.openFile(DefaultDataFile) != DataFile::Done) {
        // The tags match but there is no local copy to show (a first start
        // against a device whose tag equals the default one, or a lost
        // file): read the device's presets instead of showing nothing.
        qCWarning(lcApp) << "no readable" << record.configPath << "- reading the device";
        syncData();
        return;
    }
    m_presets->showGrid(1920, 1080);
    RspInCardMes();
    m_formModel->setMyToolTips(record.modelNameList());
    m_presets->takenFromFile();
    m_presets->showDevicePreset();
}

void MainWindow::updata_Models()
{
    m_presets->rebuildFromDevice();
}

void MainWindow::RspLoadToDevice()
{
    if (!writeAllAndVerify())
        showMessageWidget(Message::NotRecognised);
}
