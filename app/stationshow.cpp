#include "stationshow.h"

#include "applog.h"
#include "journalrecorder.h"
#include "looksbar.h"
#include "mainwindow.h"
#include "operatoractions.h"
#include "processortarget.h"
#include "stationwindow.h"

#include <appdirectory.h>
#include <journal.h>
#include <lookrecall.h>
#include <looktarget.h>
#include <scheduler.h>
#include <sequencedeck.h>

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QTimeZone>

namespace {

const QString StateFile = QStringLiteral("MyShow.state");

QString presetName(int preset)
{
    return QStringLiteral("M%1").arg(preset + 1);
}

bool byHand(int origin)
{
    return origin == RemoteActions::ByOperator || origin == RemoteActions::ByRemote;
}

} // namespace

StationShow::StationShow(StationWindow *station, ShowClock *clock, JournalRecorder *journal, QObject *parent)
    : QObject(parent)
    , m_station(station)
    , m_clock(clock)
    , m_journal(journal)
    , m_deck(new SequenceDeck(clock, this))
    , m_scheduler(new Scheduler(clock, this))
{
    m_deck->setRunner([this](const QString &sequence, const SequenceStep &step, const SequencePlayer::Done &done) {
        runStep(sequence, step, done);
    });
    m_deck->setLookCovers([this](const QString &name, int processor) {
        const std::optional<Look> look = lookNamed(name);
        return !look || std::any_of(look->entries.begin(), look->entries.end(),
                                    [processor](const Look::Entry &e) { return e.processor == processor; });
    });
    connect(m_deck, &SequenceDeck::stepFailed, this, [this](const QString &name, int index, const QString &why) {
        emit said(m_text("Sequence %1, step %2: %3", "序列 %1，第 %2 步：%3").arg(name).arg(index + 1).arg(why), true);
    });
    connect(m_scheduler, &Scheduler::fired, this,
            [this](const Schedule &schedule, const QDateTime &, qint64 lateMs) { fire(schedule, lateMs); });
    connect(m_scheduler, &Scheduler::missed, this, &StationShow::missed);
    connect(m_scheduler, &Scheduler::stateChanged, this, &StationShow::saveState);
}

void StationShow::start()
{
    const ShowFile::Loaded loaded = ShowFile::read(AppDirectory::filePath(ShowFile::fileName()));
    m_show = loaded.show;
    m_refused = !loaded.errors.isEmpty();
    for (const QString &error : loaded.errors)
        emit said(m_text("The show file: %1", "节目文件：%1").arg(error), true);
    m_deck->setSequences(m_show.sequences);
    m_scheduler->setSchedules(m_show.schedules);
    emit backupsChanged();
    applySettings();
    QFile state(AppDirectory::filePath(StateFile));
    if (state.open(QIODevice::ReadOnly) && state.size() < ShowFile::MaxFileBytes)
        m_scheduler->restoreState(QJsonDocument::fromJson(state.readAll()).object());
    m_scheduler->start();
}

void StationShow::watch(int processor)
{
    connect(m_station->processor(processor)->actions(), &RemoteActions::presetRecalled, this,
            [this, processor](int, int origin) { handRecalled(processor, origin); });
}

void StationShow::applySettings()
{
    const ShowFile::Settings &settings = m_show.settings;
    m_scheduler->setTimeZone(settings.timeZone.isEmpty() ? QTimeZone::systemTimeZone()
                                                         : QTimeZone(settings.timeZone));
    m_scheduler->setLateMinutes(settings.lateMinutes);
    m_scheduler->setEnabled(settings.schedulesOn);
    emit settingsChanged();
}

QString StationShow::storeSequence(const Sequence &sequence)
{
    QString why = m_deck->store(sequence);
    if (!why.isEmpty())
        return why;
    m_show.sequences = m_deck->sequences();
    return save();
}

QString StationShow::setSequences(const QList<Sequence> &sequences)
{
    QString why = m_deck->setSequences(sequences);
    if (!why.isEmpty())
        return why;
    m_show.sequences = m_deck->sequences();
    return save();
}

QString StationShow::setSchedules(const QList<Schedule> &schedules, const ShowFile::Settings &settings)
{
    m_show.schedules = schedules;
    m_show.settings = settings;
    m_scheduler->setSchedules(schedules);
    applySettings();
    return save();
}

QString StationShow::setBackups(const QList<BackupTable::Entry> &backups)
{
    QString why = BackupTable::problem(backups);
    if (!why.isEmpty())
        return why;
    m_show.backups = backups;
    emit backupsChanged();
    return save();
}

void StationShow::setSchedulesOn(bool on)
{
    if (m_show.settings.schedulesOn == on)
        return;
    m_show.settings.schedulesOn = on;
    applySettings();
    save();
}

QString StationShow::save()
{
    if (!AppDirectory::writable())
        return m_text("Another copy of the program keeps this station's files", "本站的文件由另一个程序副本保管");
    if (!ShowFile::write(AppDirectory::filePath(ShowFile::fileName()), m_show, m_refused))
        return m_text("The show file could not be saved", "节目文件无法保存");
    m_refused = false;
    return {};
}

void StationShow::saveState() const
{
    if (!AppDirectory::writable())
        return;
    QSaveFile file(AppDirectory::filePath(StateFile));
    if (file.open(QIODevice::WriteOnly)) {
        file.write(QJsonDocument(m_scheduler->state()).toJson(QJsonDocument::Compact));
        if (file.commit())
            return;
    }
    qCWarning(lcApp) << "the schedules' state could not be saved";
}

LookRecall *StationShow::recall(const Look &look, RemoteActions::Origin origin)
{
    QList<LookTarget *> targets;
    for (int i = 0; i < m_station->processorCount(); ++i)
        targets << processorTarget(m_station->processorName(i), m_station->processor(i), origin);
    auto *recall = new LookRecall(look, targets, this);
    for (LookTarget *target : std::as_const(targets))
        target->setParent(recall);
    recall->start();
    recall->whenFinished(this, [recall] { recall->deleteLater(); });
    return recall;
}

std::optional<Look> StationShow::lookNamed(const QString &name) const
{
    for (const Look &look : m_station->looks()->looks()) {
        if (look.name.compare(name, Qt::CaseInsensitive) == 0)
            return look;
    }
    return std::nullopt;
}

QString StationShow::describeStep(const SequenceStep &step) const
{
    if (step.isLook())
        return QStringLiteral("look ") + step.look;
    return QStringLiteral("recall ") + presetName(step.preset);
}

void StationShow::runStep(const QString &sequence, const SequenceStep &step, const SequencePlayer::Done &done)
{
    const std::optional<Look> look = step.isLook() ? lookNamed(step.look) : Look{step.look, {{step.processor, step.preset}}};
    if (!look || (!step.isLook() && step.processor >= m_station->processorCount())) {
        const qint64 id = m_journal->record(JournalEntry::Who::Sequence, sequence, step.isLook() ? -1 : step.processor,
                                            step.isLook() ? QStringLiteral("look") : QStringLiteral("recall"),
                                            describeStep(step));
        const QString why = m_text("no such look or processor", "没有这个场景组或处理器");
        m_journal->settle(id, false, why);
        done(false, why);
        return;
    }
    LookRecall *recall = this->recall(*look, RemoteActions::BySequence);
    m_journal->recordRecall(recall, JournalEntry::Who::Sequence, sequence,
                            step.isLook() ? QStringLiteral("look") : QStringLiteral("recall"), describeStep(step));
    recall->whenFinished(this, [this, recall, done] { done(recall->succeeded(), m_journal->faultsOf(recall)); });
}

// A trigger does what the operator would: its recalls go to the windows,
// its sequences to the deck; the journal says which and how it ended.
void StationShow::fire(const Schedule &schedule, qint64 lateMs)
{
    const QString what = schedule.describe(true) + (lateMs > 0 ? QStringLiteral(" (%1 s late)").arg(lateMs / 1000) : QString());
    switch (schedule.action) {
    case Schedule::Action::RecallPreset:
    case Schedule::Action::RecallLook: {
        const bool preset = schedule.action == Schedule::Action::RecallPreset;
        const std::optional<Look> look =
            preset ? Look{schedule.name, {{schedule.processor, schedule.preset}}} : lookNamed(schedule.target);
        if (!look || (preset && schedule.processor >= m_station->processorCount())) {
            m_journal->settle(m_journal->record(JournalEntry::Who::Schedule, schedule.name, -1, QStringLiteral("look"), what),
                              false, QStringLiteral("no such look or processor"));
            return;
        }
        m_journal->recordRecall(recall(*look, RemoteActions::BySchedule), JournalEntry::Who::Schedule, schedule.name,
                                preset ? QStringLiteral("recall") : QStringLiteral("look"), what);
        return;
    }
    case Schedule::Action::StartSequence:
    case Schedule::Action::StopSequence: {
        const bool start = schedule.action == Schedule::Action::StartSequence;
        const QString why = start ? m_deck->start(schedule.target) : m_deck->stop(schedule.target);
        const qint64 id = m_journal->record(JournalEntry::Who::Schedule, schedule.name, -1, QStringLiteral("sequence"), what);
        m_journal->settle(id, why.isEmpty(), why);
        if (!why.isEmpty())
            emit said(m_text("Schedule %1: %2", "定时 %1：%2").arg(schedule.name, why), true);
        return;
    }
    }
}

void StationShow::missed(const Schedule &schedule, const QDateTime &occurrence)
{
    const qint64 id = m_journal->record(JournalEntry::Who::Schedule, schedule.name, -1, QStringLiteral("missed"),
                                        schedule.describe(true));
    m_journal->journal()->settle(id, JournalEntry::Result::GivenUp,
                                 QStringLiteral("missed at ") + occurrence.toString(Qt::ISODate));
    emit said(m_text("Schedule %1 was missed at %2", "定时 %1 已错过（%2）")
                  .arg(schedule.name, occurrence.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm"))),
              false);
}

void StationShow::handRecalled(int processor, int origin)
{
    if (!byHand(origin) || !m_show.settings.handRecallPauses)
        return;
    const QStringList paused = m_deck->pauseFor(processor);
    if (!paused.isEmpty())
        emit said(m_text("Paused by a recall by hand: %1", "手动调用已暂停：%1").arg(paused.join(QStringLiteral(", "))),
                  false);
}
