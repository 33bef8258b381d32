#include "journalrecorder.h"

#include "applog.h"
#include "dataactions.h"
#include "mainwindow.h"
#include "operatoractions.h"

#include <appdirectory.h>
#include <journal.h>
#include <lookrecall.h>
#include <remoteactions.h>
#include <singleton_serialport.h>

#include <QStringList>

namespace {

QString presetName(int preset)
{
    return QStringLiteral("M%1").arg(preset + 1);
}

} // namespace

JournalRecorder::JournalRecorder(Journal *journal, QObject *parent)
    : QObject(parent)
    , m_journal(journal)
{
}

JournalEntry::Who JournalRecorder::whoOf(int origin)
{
    switch (origin) {
    case RemoteActions::ByRemote:
        return JournalEntry::Who::Remote;
    case RemoteActions::BySchedule:
        return JournalEntry::Who::Schedule;
    case RemoteActions::BySequence:
        return JournalEntry::Who::Sequence;
    default:
        return JournalEntry::Who::Operator;
    }
}

void JournalRecorder::watch(int processor, const QString &name, MainWindow *window)
{
    while (m_names.size() <= processor)
        m_names << QString();
    m_names[processor] = name;
    Singleton_SerialPort *link = window->link();
    OperatorActions *actions = window->actions();
    connect(actions, &OperatorActions::recallPosted, this, [this, processor, actions](int preset, int origin) {
        recallPosted(processor, preset, origin, actions->caller());
    });
    connect(link, &Singleton_SerialPort::presetRecalled, this,
            [this, processor](int preset, bool confirmed) { recallEnded(processor, preset, confirmed); });
    connect(link, &Singleton_SerialPort::presetWritten, this,
            [this, processor](int preset, int outcome) { presetWritten(processor, preset, outcome); });
    connect(window->actions(), &RemoteActions::sourceSwitched, this,
            [this, processor](int preset, int windowNumber, int from, int to, const QString &reason) {
                const qint64 id = record(JournalEntry::Who::Backup, reason, processor, QStringLiteral("backup"),
                                         QStringLiteral("%1 window %2: input %3 for %4")
                                             .arg(presetName(preset))
                                             .arg(windowNumber + 1)
                                             .arg(to)
                                             .arg(from));
                settle(id, true);
            });
    connect(window->data(), &DataActions::deviceWorkPosted, this,
            [this, processor](const QString &kind, const QString &what) {
                m_work.insert(processor, record(JournalEntry::Who::Operator, {}, processor, kind, what));
            });
    connect(actions, &RemoteActions::settled, this, [this, processor](bool failed) {
        if (m_work.contains(processor))
            settle(m_work.take(processor), !failed);
    });
    connect(link->state(), &LinkStateModel::stateChanged, this, [this, processor, link] {
        if (!link->isConnected())
            linkEnded(processor);
    });
}

bool JournalRecorder::openJournal()
{
    if (m_journal->isOpen())
        return true;
    if (!AppDirectory::writable() || m_failed)
        return false;
    m_failed = !m_journal->open();
    if (m_failed)
        qCWarning(lcApp) << "the journal is not kept:" << m_journal->lastError();
    return !m_failed;
}

qint64 JournalRecorder::record(JournalEntry::Who who, const QString &by, int processor, const QString &kind,
                               const QString &what)
{
    if (!openJournal())
        return 0;
    JournalEntry entry;
    entry.who = who;
    entry.whoDetail = by;
    entry.processor = processor + 1;
    entry.processorName = m_names.value(processor);
    entry.kind = kind;
    entry.what = what;
    return m_journal->record(entry);
}

void JournalRecorder::settle(qint64 id, bool confirmed, const QString &detail)
{
    if (id > 0)
        m_journal->settle(id, confirmed ? JournalEntry::Result::Confirmed : JournalEntry::Result::Failed, detail);
}

void JournalRecorder::recordRecall(LookRecall *recall, JournalEntry::Who who, const QString &by,
                                   const QString &kind, const QString &what)
{
    const int processor = recall->look().entries.size() == 1 ? recall->look().entries.first().processor : -1;
    const qint64 id = record(who, by, processor, kind, what);
    recall->whenFinished(this, [this, id, recall] { settle(id, recall->succeeded(), faultsOf(recall)); });
}

void JournalRecorder::recordLook(const LookRecall *recall, JournalEntry::Who who, const QString &by)
{
    settle(record(who, by, -1, QStringLiteral("look"), QStringLiteral("look ") + recall->look().name),
           recall->succeeded(), faultsOf(recall));
}

// What became of each processor that did not confirm.
QString JournalRecorder::faultsOf(const LookRecall *recall) const
{
    QStringList faults;
    for (const LookRecall::Outcome &outcome : recall->outcomes()) {
        if (outcome.result != LookRecall::Result::Confirmed)
            faults << QStringLiteral("%1 %2: %3")
                          .arg(m_names.value(outcome.processor), presetName(outcome.preset),
                               LookRecall::resultName(outcome.result));
    }
    return faults.join(QStringLiteral("; "));
}

// The show's own recalls are its to record, step by step.
void JournalRecorder::recallPosted(int processor, int preset, int origin, const QString &by)
{
    if (origin != RemoteActions::ByOperator && origin != RemoteActions::ByRemote)
        return;
    const qint64 id = record(whoOf(origin), by, processor, QStringLiteral("recall"),
                             QStringLiteral("recall ") + presetName(preset));
    m_recalls.append({processor, preset, id});
}

void JournalRecorder::recallEnded(int processor, int preset, bool confirmed)
{
    for (int i = 0; i < m_recalls.size(); ++i) {
        const Pending &pending = m_recalls.at(i);
        if (pending.processor == processor && pending.preset == preset) {
            settle(pending.id, confirmed);
            m_recalls.removeAt(i);
            return;
        }
    }
}

// The writes of an import are its own entry's.
void JournalRecorder::presetWritten(int processor, int preset, int outcome)
{
    if (m_work.contains(processor))
        return;
    const qint64 id = record(JournalEntry::Who::Operator, {}, processor, QStringLiteral("write"),
                             QStringLiteral("write ") + presetName(preset));
    settle(id, outcome != Singleton_SerialPort::PresetWriteLost);
}

// What the link had not answered when it went is given up.
void JournalRecorder::linkEnded(int processor)
{
    if (m_work.contains(processor))
        m_journal->settle(m_work.take(processor), JournalEntry::Result::GivenUp, QStringLiteral("the link went"));
    for (int i = m_recalls.size() - 1; i >= 0; --i) {
        const Pending &pending = m_recalls.at(i);
        if (pending.processor != processor)
            continue;
        m_journal->settle(pending.id, JournalEntry::Result::GivenUp, QStringLiteral("the link went"));
        m_recalls.removeAt(i);
    }
}
