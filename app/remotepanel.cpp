#include "remotepanel.h"

#include "runmodal.h"

#include <appdirectory.h>
#include <bilingual.h>
#include <dialog_remote.h>
#include <remoteserver.h>
#include <remotesettings.h>
#include <settingsfile.h>
#include <solostation.h>
#include <stationsettings.h>

#ifdef RZ_TABLET_PAGE
#include <pageserver.h>
#endif

#include <QLabel>
#include <QStatusBar>

RemotePanel::RemotePanel(RemoteActions *actions, QStatusBar *statusBar, QWidget *window)
    : QObject(window)
    , m_solo(new SoloStation(actions, StationSettings::defaultName(0), this))
    , m_statusBar(statusBar)
    , m_label(new QLabel(window))
    , m_window(window)
{
    m_label->setObjectName(QStringLiteral("remoteClients"));
    statusBar->addPermanentWidget(m_label);
    serve(nullptr);
}

void RemotePanel::serve(RemoteStation *station)
{
    delete m_server;
    m_server = new RemoteServer(station ? station : m_solo, this);
    connect(m_server, &RemoteServer::clientsChanged, this, &RemotePanel::showClients);
#ifdef RZ_TABLET_PAGE
    delete m_page;
    m_page = new PageServer(m_server->sessions(), this);
    m_page->setEnglish(m_english);
    connect(m_page, &PageServer::pinRefused, this, &RemotePanel::pinRefused);
#endif
    showClients();
}

void RemotePanel::setEnglish(bool english)
{
    m_english = english;
#ifdef RZ_TABLET_PAGE
    m_page->setEnglish(english);
#endif
    showClients();
}

void RemotePanel::start()
{
    start(RemoteSettings::read(SettingsFile::path()));
}

void RemotePanel::start(const RemoteSettings &settings)
{
    if (!m_server->start(settings))
        m_statusBar->showMessage(Bilingual(m_english)("Remote control not started: ", "远程控制未启动：")
                                 + m_server->errorString());
#ifdef RZ_TABLET_PAGE
    else if (!m_page->start(settings))
        m_statusBar->showMessage(Bilingual(m_english)("Tablet page not started: ", "平板页面未启动：")
                                 + m_page->errorString());
#endif
    showClients();
}

void RemotePanel::openDialog()
{
    auto *dialog = new Dialog_Remote(RemoteSettings::read(SettingsFile::path()), m_english, m_page != nullptr, m_window);
    // Settings that cannot be kept (another copy holds the folder) still
    // hold for this run.
    connect(dialog, &QDialog::accepted, this, [this, dialog] {
        const RemoteSettings settings = dialog->settings();
        const QString path = SettingsFile::path();
        if (!AppDirectory::mayWrite(path) || !RemoteSettings::write(path, settings))
            m_statusBar->showMessage(Bilingual(m_english)("The file could not be saved", "文件无法保存"));
        start(settings);
    });
    runModal(dialog);
}

// The label is there only while the remote control listens.
void RemotePanel::showClients()
{
    m_label->setText(Bilingual(m_english)("Remote: %1 clients", "远程：%1 个客户端").arg(m_server->clients()));
    m_label->setVisible(m_server->listening());
}
