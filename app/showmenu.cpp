#include "showmenu.h"

#include "journalrecorder.h"
#include "mainwindow.h"
#include "operatoractions.h"
#include "sequencesdock.h"
#include "stationshow.h"
#include "stationwindow.h"

#include <dialog_backups.h>
#include <dialog_journal.h>
#include <dialog_schedules.h>
#include <dialog_sequences.h>
#include <looksbar.h>
#include <scheduler.h>
#include <scheduletimes.h>
#include <sequencedeck.h>
#include <shownames.h>
#include <singleton_serialport.h>

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QTimeZone>
#include <QToolButton>

ShowMenu::ShowMenu(StationWindow *station, StationShow *show, JournalRecorder *journal, SequencesDock *dock)
    : QObject(station)
    , m_show(show)
    , m_journal(journal)
    , m_station(station)
    , m_menu(new QMenu(station))
    , m_dockAction(dock->toggleViewAction())
    , m_sequencesAction(new QAction(this))
    , m_schedulesAction(new QAction(this))
    , m_backupsAction(new QAction(this))
    , m_journalAction(new QAction(this))
    , m_switchBar(new QWidget(station))
    , m_switch(new QToolButton(m_switchBar))
    , m_next(new QLabel(m_switchBar))
{
    m_menu->setObjectName(QStringLiteral("showMenu"));
    m_sequencesAction->setObjectName(QStringLiteral("actionSequences"));
    m_schedulesAction->setObjectName(QStringLiteral("actionSchedules"));
    m_backupsAction->setObjectName(QStringLiteral("actionBackups"));
    m_journalAction->setObjectName(QStringLiteral("actionJournal"));
    m_menu->addAction(m_dockAction);
    m_menu->addSeparator();
    m_menu->addActions({m_sequencesAction, m_schedulesAction, m_backupsAction});
    m_menu->addSeparator();
    m_menu->addAction(m_journalAction);
    connect(m_sequencesAction, &QAction::triggered, this, &ShowMenu::openSequences);
    connect(m_schedulesAction, &QAction::triggered, this, &ShowMenu::openSchedules);
    connect(m_backupsAction, &QAction::triggered, this, &ShowMenu::openBackups);
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
    m_sequencesAction->setText(m_text("Edit Sequences...", "编辑序列..."));
    m_schedulesAction->setText(m_text("Schedules...", "定时..."));
    m_backupsAction->setText(m_text("Backup Sources...", "备用信号源..."));
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

ShowNames ShowMenu::names() const
{
    ShowNames names;
    for (int i = 0; i < m_station->processorCount(); ++i) {
        names.processors << m_station->processorName(i);
        names.presets << m_station->processor(i)->link()->dm_data.modelNameList();
    }
    for (const Look &look : m_station->looks()->looks())
        names.looks << look.name;
    for (const Sequence &sequence : m_show->deck()->sequences())
        names.sequences << sequence.name;
    return names;
}

void ShowMenu::open(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

void ShowMenu::openSequences()
{
    auto *dialog = new Dialog_Sequences(m_show->deck()->sequences(), names(), m_text.english(), m_station);
    connect(dialog, &Dialog_Sequences::sequencesAccepted, this, [this](const QList<Sequence> &sequences) {
        const QString why = m_show->setSequences(sequences);
        if (!why.isEmpty())
            emit said(why, true);
    });
    open(dialog);
}

void ShowMenu::openSchedules()
{
    auto *dialog = new Dialog_Schedules(m_show->show().schedules, m_show->show().settings, names(),
                                        m_text.english(), m_station);
    dialog->setNextOccurrence([](const Schedule &schedule, const QByteArray &zone) {
        const ScheduleTimes times(zone.isEmpty() ? QTimeZone::systemTimeZone() : QTimeZone(zone));
        return times.nextAfter(schedule, QDateTime::currentDateTimeUtc());
    });
    connect(dialog, &Dialog_Schedules::schedulesAccepted, this,
            [this](const QList<Schedule> &schedules, const ShowFile::Settings &settings) {
                const QString why = m_show->setSchedules(schedules, settings);
                if (!why.isEmpty())
                    emit said(why, true);
            });
    open(dialog);
}

void ShowMenu::openBackups()
{
    QList<QList<Dialog_Backups::Input>> inputs;
    for (int i = 0; i < m_station->processorCount(); ++i) {
        QList<Dialog_Backups::Input> processor;
        for (const RemoteActions::Input &input : m_station->processor(i)->actions()->inputs())
            processor.append({input.input, input.name.isEmpty() ? input.label : input.name});
        inputs << processor;
    }
    QStringList processors;
    for (int i = 0; i < m_station->processorCount(); ++i)
        processors << m_station->processorName(i);
    auto *dialog = new Dialog_Backups(m_show->show().backups, processors, inputs, m_text.english(), m_station);
    connect(dialog, &Dialog_Backups::entriesAccepted, this, [this](const QList<BackupTable::Entry> &entries) {
        const QString why = m_show->setBackups(entries);
        if (!why.isEmpty())
            emit said(why, true);
    });
    open(dialog);
}

void ShowMenu::openJournal()
{
    QStringList processors;
    for (int i = 0; i < m_station->processorCount(); ++i)
        processors << m_station->processorName(i);
    open(new Dialog_Journal(m_journal->journal(), processors, m_text.english(), m_station));
}
