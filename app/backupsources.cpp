#include "backupsources.h"

#include "applog.h"
#include "onairmodel.h"
#include "operatoractions.h"
#include "signalpoll.h"

#include <devicedata.h>
#include <singleton_serialport.h>

#include <QAction>
#include <QMenu>

BackupSources::BackupSources(Singleton_SerialPort *link, OperatorActions *actions, OnAirModel *air,
                             ShowClock *clock, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_actions(actions)
    , m_air(air)
    , m_switcher(clock)
    , m_poll(new SignalPoll(link, [actions] { return actions->busy(); }, this))
{
    connect(m_poll, &SignalPoll::read, this, &BackupSources::takeSignals);
    connect(&m_switcher, &BackupSwitcher::readWanted, m_poll, &SignalPoll::pollNow);
    connect(&m_switcher, &BackupSwitcher::switchWanted, this, &BackupSources::send);
    connect(&m_switcher, &BackupSwitcher::changed, this, &BackupSources::changed);
    connect(&m_switcher, &BackupSwitcher::noBackup, this, [this](int, int window, int main) {
        emit message(m_text("%1: input %2 lost, no backup has a signal", "%1：输入%2无信号，备用源均无信号")
                         .arg(windowName(window), DeviceData::channelName(main)));
    });
    connect(air, &OnAirModel::changed, this, &BackupSources::watchOnAir);
}

void BackupSources::setEntries(const QList<BackupTable::Entry> &entries)
{
    m_switcher.setEntries(entries);
}

void BackupSources::setEnglish(bool english)
{
    m_text.setEnglish(english);
    if (m_return)
        m_return->setText(m_text("Return to main input", "恢复主输入"));
    emit changed();
}

// The windows as stored: the canvas of the preset on air, or its record.
// A link gone leaves the device's copy unknown: nothing to put back.
void BackupSources::watchOnAir()
{
    if (!m_link->isConnected()) {
        m_switcher.reset();
        return;
    }
    const int preset = m_air->onAir();
    QMap<int, int> windows;
    if (preset >= 0) {
        for (const RemoteActions::Window &window : m_actions->windows(preset))
            windows.insert(window.window, window.input);
    }
    m_switcher.setOnAir(preset, windows);
}

void BackupSources::takeSignals()
{
    watchOnAir();
    QList<int> present;
    for (const RemoteActions::Input &input : m_actions->inputs()) {
        if (input.signal)
            present << input.input;
    }
    m_switcher.setSignals(present);
}

bool BackupSources::returnToMain(int window)
{
    return m_switcher.returnToMain(window);
}

void BackupSources::addReturnAction(QMenu *menu, const std::function<int()> &window)
{
    m_return = menu->addAction(m_text("Return to main input", "恢复主输入"));
    m_return->setObjectName(QStringLiteral("returnToMain"));
    connect(menu, &QMenu::aboutToShow, m_return,
            [this, window] { m_return->setEnabled(m_switcher.onBackup().contains(window())); });
    connect(m_return, &QAction::triggered, this, [this, window] { returnToMain(window()); });
}

void BackupSources::send(const BackupSwitcher::Switch &change)
{
    LinkReply *reply = m_link->send(LinkRequest::substituteSource(change.preset, change.window, change.to));
    connect(reply, &LinkReply::finished, this,
            [this, reply, change] { tellSwitch(change, reply->error() == LinkReply::NoError); });
}

void BackupSources::tellSwitch(const BackupSwitcher::Switch &change, bool confirmed)
{
    const QString window = windowName(change.window);
    const QString to = DeviceData::channelName(change.to);
    if (!confirmed) {
        qCWarning(lcApp) << "the switch of window" << change.window << "to input" << change.to << "was not confirmed";
        emit message(m_text("%1: the switch to input %2 was not confirmed", "%1：切换到输入%2未获确认")
                         .arg(window, to));
        return;
    }
    emit switched(change);
    if (change.reason == BackupSwitcher::Reason::Lost)
        emit message(m_text("%1: input %2 lost, on backup input %3", "%1：输入%2无信号，已切换到备用源%3")
                         .arg(window, DeviceData::channelName(change.from), to));
    else if (change.reason != BackupSwitcher::Reason::Restored)
        emit message(m_text("%1: back on main input %2", "%1：已恢复主输入%2").arg(window, to));
}

QMap<int, QString> BackupSources::notes() const
{
    QMap<int, QString> notes;
    const QMap<int, BackupSwitcher::Standby> standby = m_switcher.onBackup();
    for (auto it = standby.cbegin(); it != standby.cend(); ++it) {
        notes.insert(it.key(), m_text("On backup: input %1 (main %2 lost)", "备用源：输入%1（主输入%2无信号）")
                                   .arg(DeviceData::channelName(it->backup), DeviceData::channelName(it->main)));
    }
    return notes;
}

QString BackupSources::windowName(int window) const
{
    return m_text("Win%1", "窗口%1").arg(window + 1);
}
