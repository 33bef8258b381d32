#ifndef REMOTEPANEL_H
#define REMOTEPANEL_H

#include <QHostAddress>
#include <QObject>

class PageServer;
class QLabel;
class QStatusBar;
class QWidget;
class RemoteActions;
class RemoteServer;
class RemoteStation;
class SoloStation;
struct RemoteSettings;

// The remote control as the window shows it: started from the settings
// file's [Remote] group, its dialog, and the count of its clients in the
// status bar while it listens. It serves the window's own processor alone
// unless given the station to serve. The tablet page, where the build has
// it, starts and stops with it.
class RemotePanel : public QObject
{
    Q_OBJECT

public:
    RemotePanel(RemoteActions *actions, QStatusBar *statusBar, QWidget *window);

    // Serves the station from now on, the window's processor alone when
    // none; to be set before start().
    void serve(RemoteStation *station);
    void setEnglish(bool english);
    // Starts (or stops) what the settings file asks for.
    void start();
    void openDialog();

signals:
    // A wrong PIN for the tablet page, from this address.
    void pinRefused(const QHostAddress &address);

private:
    void start(const RemoteSettings &settings);
    void showClients();

    SoloStation *m_solo;
    RemoteServer *m_server = nullptr;
    PageServer *m_page = nullptr;
    QStatusBar *m_statusBar;
    QLabel *m_label;
    QWidget *m_window;
    bool m_english = false;
};

#endif // REMOTEPANEL_H
