#ifndef MAINWINDOW_H
#define MAINWINDOW_H

#include <linkreply.h>

#include <QByteArray>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QString>

#include <memory>

class BackupSources;
class ConnectionFlow;
class DataActions;
class DeviceDialogs;
class Form_Model;
class LinkFeedback;
class MainMenus;
class NavDocks;
class OffAirActions;
class OnAirModel;
class OperatorActions;
class PresetStore;
class Reconnector;
class ReconnectStatus;
class RemotePanel;
class RemoteStation;
class Singleton_SerialPort;

namespace Ui {
class MainWindow;
}

// The program's one window: the wall canvas in the centre, the sources on
// the left, the windows of the shown preset on the right and the preset bar
// on top. It turns the operator's actions into commands for the link worker
// and the worker's reports into messages, the wait page and rebuilt views;
// its menus, the link's feedback and the presets have classes of their own.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    // The one processor of the program, its files in the program's folder.
    explicit MainWindow(QWidget *parent = nullptr);
    // A processor of several: its files in a folder of its own; the remote
    // control is the station's.
    MainWindow(const QString &folder, bool remoteControl, QWidget *parent = nullptr);
    ~MainWindow() override;

    // The window's link to its processor.
    Singleton_SerialPort *link() const { return m_link; }
    // What a station of several processors drives of each one.
    OnAirModel *onAir() const { return m_air; }
    // The remote control of the station when this window serves it.
    RemotePanel *remote() const { return m_remote; }
    OperatorActions *actions() const { return m_actions; }
    DataActions *data() const { return m_data; }
    // The backup sources of the preset on air; their entries are set here.
    BackupSources *backups() const { return m_backups; }
    ConnectionFlow *connection() const { return m_connection; }
    const MainMenus &menus() const { return *m_menus; }
    int language() const { return isEnglish; }
    // The remote control serves the station, or the window alone when none.
    void serveStation(RemoteStation *station);

signals:
    void closeWait();
    // What the open wait pages show of a command of several exchanges.
    void waitProgress(const QString &text, int value, int maximum);

public slots:
    void loadFile();
    void showMessageWidget(int code);
    void Rsp_Send_ResetView();
    void Rsp_InCard();
    void Rsp_waitPage(bool close);
    void RspDataToDevice();
    void RspLoadToDevice();
    void RspWinCreatSingle(int win, int code);
    void RspInCardMes();
    void RspModelName();
    void RspInCardName();
    void RspWinLayerMes(const QList<int> &list);
    void RspChargeCardName(int id, const QString &name);
    void updata_model(int n);
    void updata_Models();
    void update_grapichView();
    void updata_GrapichView();
    void RspViewMessage(int code);

public:
    Q_INVOKABLE void setLanguage(int isEnglish);
    QMenu *createPopupMenu() override;

private:
    void buildPresetBar();
    void connectActions();
    void connectViews();
    void connectLink();

    // The canvas, lists and preset bar take input with the link up or
    // offline.
    void updateWorkingViews();
    void updateUndoActions();
    void offAirChanged();
    void workOffline(bool on);
    void showWinList();
    void showBackups();

    const QString m_folder;
    const bool m_remoteControl;
    Singleton_SerialPort *m_link;
    int isEnglish = 0;
    Ui::MainWindow *ui;
    std::unique_ptr<MainMenus> m_menus;
    Form_Model *m_formModel = nullptr;
    std::unique_ptr<NavDocks> m_docks;
    LinkFeedback *m_feedback = nullptr;
    OnAirModel *m_air = nullptr;
    PresetStore *m_presets = nullptr;
    DataActions *m_data = nullptr;
    // The wall the operator wrote, which empties the presets once the
    // device takes it.
    QPointer<LinkReply> m_wallWrite;
    OperatorActions *m_actions = nullptr;
    RemotePanel *m_remote = nullptr;
    DeviceDialogs *m_dialogs = nullptr;
    OffAirActions *m_offAir = nullptr;
    Reconnector *m_reconnect = nullptr;
    ConnectionFlow *m_connection = nullptr;
    ReconnectStatus *m_reconnectStatus = nullptr;
    BackupSources *m_backups = nullptr;
};

#endif // MAINWINDOW_H
