#include "mainmenus.h"

#include <linkstatemodel.h>

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

MainMenus::MainMenus(QMainWindow *window, const LinkStateModel *link)
    : m_window(window)
    , m_link(link)
{
    language = addMenu("menuLanguage");
    chinese = addAction(language, "actionChinese");
    english = addAction(language, "actionEnglish");
    communication = addMenu("menuCommunication");
    connect = addAction(communication, "actionConnect");
    workOffline = addAction(communication, "actionWorkOffline");
    workOffline->setCheckable(true);
    comSet = addAction(communication, "actionComSet");
    comTest = addAction(communication, "actionComTest");
    remote = addAction(communication, "actionRemote");
    device = addMenu("menuDeviceSettings");
    ledMosaic = addAction(device, "actionLedMosaic");
    inputSingle = addAction(device, "actionInputSingle");
    data = addMenu("menuDeviceData");
    exportData = addAction(data, "actionExport");
    importData = addAction(data, "actionImport");
    sync = addAction(data, "actionSync");
    verify = addAction(data, "actionVerify");
    init = addAction(data, "actionInit");
    winLock = addMenu("menuWinLock");
    lock = addAction(winLock, "actionLock");
    unlock = addAction(winLock, "actionUnlock");
    edit = addMenu("menuEdit");
    undo = addAction(edit, "actionUndo");
    undo->setShortcut(QKeySequence::Undo);
    redo = addAction(edit, "actionRedo");
    redo->setShortcuts(QKeySequence::listFromString(QStringLiteral("Ctrl+Shift+Z; Ctrl+Y")));
    edit->addSeparator();
    blind = addAction(edit, "actionBlind");
    blind->setCheckable(true);
    blind->setShortcut(QKeySequence(QStringLiteral("Ctrl+B")));
    take = addAction(edit, "actionTake");
    take->setShortcut(QKeySequence(QStringLiteral("Ctrl+T")));
    revert = addAction(edit, "actionRevert");

    sourceCardMenu = popupMenu(window, "menuSourceCard");
    sourceCardMenu->addAction(inputSingle);
    pictureAttribute = addAction(sourceCardMenu, "actionPictureAttribute");
    sourceCardMenu->addSeparator();
    inputName = addAction(sourceCardMenu, "actionInputName");
    sourceMenu = popupMenu(window, "menuSource");
    sourceMenu->addAction(inputName);
    winMenu = popupMenu(window, "menuWin");
    topFloor = addAction(winMenu, "actionTopFloor");
    bottomFloor = addAction(winMenu, "actionBottomFloor");
}

QMenu *MainMenus::addMenu(const char *name)
{
    QMenu *menu = m_window->menuBar()->addMenu(QStringLiteral("-"));
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *MainMenus::addAction(QMenu *menu, const char *name)
{
    auto *action = new QAction(QStringLiteral("-"), m_window);
    action->setObjectName(QLatin1String(name));
    menu->addAction(action);
    return action;
}

QMenu *MainMenus::popupMenu(QObject *parent, const char *name)
{
    auto *menu = new QMenu(qobject_cast<QWidget *>(parent));
    menu->setObjectName(QLatin1String(name));
    return menu;
}

void MainMenus::setLanguage(bool inEnglish)
{
    m_text.setEnglish(inEnglish);
    const struct
    {
        QAction *action;
        const char *english;
        const char *chinese;
    } captions[] = {
        {language->menuAction(), "Language", "语言"},
        {chinese, "Chinese", "中文"},
        {english, "English", "英文"},
        {communication->menuAction(), "Communication", "通讯连接"},
        {workOffline, "Work Offline", "离线编辑"},
        {comSet, "Communication Settings", "连接设置"},
        {comTest, "Communication Test", "连接测试"},
        {remote, "Remote Control", "远程控制"},
        {device->menuAction(), "Device Setttings", "设备设置"},
        {ledMosaic, "LED Mosaic", "LED拼接设置"},
        {inputSingle, "Input Single", "输入卡信号"},
        {data->menuAction(), "Device Data", "设备数据"},
        {exportData, "Data Export", "数据导出"},
        {importData, "Data Import", "数据导入"},
        {sync, "Data Sync", "数据同步"},
        {verify, "Data Verify", "数据校验"},
        {init, "Data Init", "设备初始化"},
        {winLock->menuAction(), "Win Lock", "窗口锁定"},
        {lock, "Lock", "锁定"},
        {unlock, "Unlock", "解锁"},
        {edit->menuAction(), "Edit", "编辑"},
        {blind, "Blind", "预编辑"},
        {take, "Take", "切换"},
        {revert, "Revert", "撤回"},
        {pictureAttribute, "Picture attribute", "画面属性"},
        {inputName, "Input source name", "输入源名称"},
        {topFloor, "Top floor", "顶层"},
        {bottomFloor, "Bottom floor", "底层"},
    };
    for (const auto &caption : captions)
        caption.action->setText(m_text(caption.english, caption.chinese));
    showLinkState();
}

void MainMenus::showLinkState()
{
    const bool connected = m_link->isOpen();
    connect->setText(connected ? m_text("DisConnect", "断开连接") : m_text("Connect", "打开连接"));
    for (QAction *action : {comTest, ledMosaic, inputSingle, pictureAttribute, importData, sync, verify, init})
        action->setEnabled(connected);
}

void MainMenus::setEdits(const QString &undoEdit, bool canUndo, const QString &redoEdit, bool canRedo)
{
    const auto label = [](const QString &verb, const QString &change) {
        return change.isEmpty() ? verb : verb + QLatin1Char(' ') + change;
    };
    undo->setText(label(m_text("Undo", "撤销"), undoEdit));
    redo->setText(label(m_text("Redo", "重做"), redoEdit));
    undo->setEnabled(canUndo);
    redo->setEnabled(canRedo);
}
