#include "showmenu.h"

#include "journalrecorder.h"
#include "sequencesdock.h"
#include "stationshow.h"

#include <dialog_journal.h>
#include <scheduler.h>

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>

ShowMenu::ShowMenu(StationShow *show, JournalRecorder *journal, SequencesDock *dock, Names names, QWidget *window)
    : QObject(window)
    , m_show(show)
    , m_journal(journal)
    , m_names(std::move(names))
    , m_window(window)
    , m_menu(new QMenu(window))
    , m_dockAction(dock->toggleViewAction())
    , m_journalAction(new QAction(this))
    , m_switchBar(new QWidget(window))
    , m_switch(new QToolButton(m_switchBar))
    , m_next(new QLabel(m_switchBar))
{
    m_menu->setObjectName(QStringLiteral("showMenu"));
    m_journalAction->setObjectName(QStringLiteral("actionJournal"));
    m_menu->addAction(m_dockAction);
    m_menu->addSeparator();
    m_menu->addAction(m_journalAction);
    connect(m_journalAction, &QAction::triggered, this, &ShowMenu::openJournal);

    auto *layout = new QHBoxLayout(m_switchBar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_switch);
    layout->addWidget(m_next);
    m_switch->setObjectName(QStringLiteral("schedulesSwitch"));
    m_switch->setCheckable(true);
    m_switch->setAutoRaise(true);
    connect(m_switch, &QToolButton::toggled, show, &StationShow::setSchedulesOn);
    connect(show, &StationShow::settingsChanged, this, &ShowMenu::refresh);
    connect(show->scheduler(), &Scheduler::nextChanged, this, &ShowMenu::refresh);
    setEnglish(false);
}

void ShowMenu::setEnglish(bool english)
{
    m_text.setEnglish(english);
    m_menu->setTitle(m_text("Show", "节目"));
    m_dockAction->setText(m_text("Sequences", "序列"));
    m_journalAction->setText(m_text("Journal...", "操作日志..."));
    refresh();
}

// Off, the switch says so in colour: nothing fires while it is off.
void ShowMenu::refresh()
{
    m_switchBar->setVisible(!m_show->show().schedules.isEmpty());
    const bool on = m_show->show().settings.schedulesOn;
    const QSignalBlocker blocker(m_switch);
    m_switch->setChecked(on);
    m_switch->setText(on ? m_text("Schedules on", "定时开") : m_text("Schedules off", "定时关"));
    m_switch->setStyleSheet(on ? QString() : QStringLiteral("color: rgb(200, 40, 40); font-weight: bold;"));
    const Scheduler *scheduler = m_show->scheduler();
    const QDateTime next = scheduler->nextTime();
    m_next->setText(on && next.isValid()
                        ? m_text("Next: %1 %2", "下一个：%1 %2")
                              .arg(scheduler->nextName(),
                                   next.toTimeZone(scheduler->timeZone()).toString(QStringLiteral("ddd HH:mm")))
                        : QString());
}

void ShowMenu::openJournal()
{
    auto *dialog = new Dialog_Journal(m_journal->journal(), m_names(), m_text.english(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}
