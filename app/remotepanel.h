#ifndef REMOTEPANEL_H
#define REMOTEPANEL_H

#include <QObject>

class QLabel;
class QStatusBar;
class QWidget;
class RemoteActions;
class RemoteServer;
struct RemoteSettings;

// The remote control as the window shows it: started from the settings
// file's [Remote] group, its dialog, and the count of its clients in the
// status bar while it listens.
class RemotePanel : public QObject
{
    Q_OBJECT

public:
    RemotePanel(RemoteActions *actions, QStatusBar *statusBar, QWidget *window);

    void setEnglish(bool english);
    // Starts (or stops) what the settings file asks for.
    void start();
    void openDialog();

private:
    void start(const RemoteSettings &settings);
    void showClients();

    RemoteServer *m_server;
    QStatusBar *m_statusBar;
    QLabel *m_label;
    QWidget *m_window;
    bool m_english = false;
};

#endif // REMOTEPANEL_H
