#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUndoGroup>

#include <array>
#include <memory>

#include "waitprogress.h"

class Form_Model;
class PresetCheck;
class PresetMarks;
class Form_title;
class MyNavTree;
class QAction;
class QDialog;
class QDockWidget;
class QMenu;
class Singleton_SerialPort;

namespace Ui {
class MainWindow;
}

// The program's one window: the wall canvas in the centre, the sources on
// the left, the windows of the shown preset on the right and the preset bar
// on top. It turns the operator's actions into commands for the link worker
// and the worker's reports into messages, the wait page and rebuilt views.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

signals:
    void closeWait();
    // What the open wait pages show of a command of several exchanges.
    void waitProgress(const QString &text, int value, int maximum);

public slots:
    void loadFile();
    void showMessageWidget(int code);
    void Rsp_Send_ResetView();
    void Rsp_InCard();
    void Rsp_Connect_Reslut();
    void Rsp_waitPage(bool close);
    void RspDataToDevice();
    void RspLoadToDevice();
    void RspWinCreatSingle(int win, int code);
    void RspInCardMes();
    void RspModelName();
    void RspInCardName();
    void RspWinLayerMes(QList<int> list);
    void RspChargeCardName(int id, QString name);
    void RspSetCard(int card);
    void updata_model(int n);
    void updata_Models();
    void update_grapichView();
    void updata_GrapichView();
    void show_trimming(int win);
    void show_trimming_data(QList<int> values);
    void show_Win_mes(QByteArray bytes);
    void show_Win_Single(QByteArray bytes);
    void RspSendAllWin();
    void RspViewMessage(int code);

public:
    Q_INVOKABLE void setLanguage(int isEnglish);
    QMenu *createPopupMenu() override;

private:
    void buildMenus();
    void buildContextMenus();
    void buildDocks();
    void connectActions();
    void connectViews();
    void connectLink();
    void fillMessages();

    QAction *newAction(QMenu *menu, const char *name);
    QString text(const char *english, const char *chinese) const;
    bool askName(const QString &title, const QString &label, QString *name) const;
    void setWorkingViewsEnabled(bool enabled);
    void updateConnectText();
    void post(int type, int timeoutMs);
    void storeCanvas();
    void selectDevicePreset();
    void initCanvasGrid(int width, int height);
    void refreshWinTree();
    void runDialog(QDialog *dialog);
    void waitTimedOut();
    void linkActive(int activity);
    void linkProgress(int command, int framesDone, int framesTotal, qint64 bytesDone, qint64 bytesTotal);
    void closeWaitPages();
    bool loadToDevice();
    void verifyData();
    void showHistory(int preset);
    void clearHistories();
    void updateUndoActions();
    void showVerifyResult();
    void sendMine(const PresetCheck &check);
    void takeDevices();

    void toggleConnection();
    void openComSet();
    void openComTest();
    void openLedMosaic();
    void openInputSingle();
    void exportData();
    void importData();
    void syncData();
    void initDevice();
    void sourceMenuRequested(const QPoint &pos);
    void winMenuRequested(const QPoint &pos);

    Singleton_SerialPort *m_link;
    bool m_modelSendEnabled = true;
    int isEnglish = 0;
    QStringList m_msgChinese;
    QStringList m_msgEnglish;
    QStringList m_connectTexts;
    bool m_resetPending = false;
    int m_userDisconnect = 0;
    QTimer m_waitTimer;
    int m_outTimeCount = 5000;
    int m_openWaitPages = 0;
    int m_linkActivity = 0; // the link's last activity the wait page heard of
    int m_curModel = -1;
    int m_firstConnectPending = 1;
    QString m_initQuestion;
    QList<int> m_winLayers;
    QMap<int, QString> m_winSignals;
    int m_curWin = -1;
    int m_curSource = -1;
    Ui::MainWindow *ui;
    Form_Model *m_formModel = nullptr;

    QMenu *m_menuLanguage = nullptr;
    QAction *m_actChinese = nullptr;
    QAction *m_actEnglish = nullptr;
    QMenu *m_menuLink = nullptr;
    QAction *m_actConnect = nullptr;
    QAction *m_actComSet = nullptr;
    QAction *m_actComTest = nullptr;
    QMenu *m_menuDevice = nullptr;
    QAction *m_actLedMosaic = nullptr;
    QAction *m_actInputSingle = nullptr;
    QMenu *m_menuData = nullptr;
    QAction *m_actExport = nullptr;
    QAction *m_actImport = nullptr;
    QAction *m_actSync = nullptr;
    QAction *m_actVerify = nullptr;
    QAction *m_actInit = nullptr;
    QMenu *m_menuLock = nullptr;
    QAction *m_actLock = nullptr;
    QAction *m_actUnlock = nullptr;
    QMenu *m_menuEdit = nullptr;
    QAction *m_actUndo = nullptr;
    QAction *m_actRedo = nullptr;

    QDockWidget *m_sourceDock = nullptr;
    QDockWidget *m_winDock = nullptr;
    MyNavTree *m_sourceTree = nullptr;
    MyNavTree *m_winTree = nullptr;

    QMenu *m_sourceCardMenu = nullptr;
    QAction *m_actPictureAttr = nullptr;
    QAction *m_actInputName = nullptr;
    QMenu *m_sourceMenu = nullptr;
    QMenu *m_winMenu = nullptr;
    QAction *m_actTopFloor = nullptr;
    QAction *m_actBottomFloor = nullptr;

    Form_title *m_titleBar = nullptr;
    std::unique_ptr<PresetMarks> m_marks;
    WaitProgress m_progress;
    QUndoGroup m_undoGroup; // one history a preset
    std::array<QUndoStack *, 16> m_histories{};
    bool m_deviceCopyReady = false; // a verify read is in, to show once its page closes
};

#endif // MAINWINDOW_H
