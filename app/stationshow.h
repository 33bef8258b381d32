#ifndef STATIONSHOW_H
#define STATIONSHOW_H

#include <bilingual.h>
#include <look.h>
#include <remoteactions.h>
#include <sequenceplayer.h>
#include <showfile.h>

#include <QObject>

class JournalRecorder;
class LookRecall;
class Scheduler;
class SequenceDeck;
class ShowClock;
class StationWindow;

// What the station does by itself: its sequences and schedules as the show
// file keeps them, played on the show clock. Steps and triggers recall
// through the windows' own actions, as the show (a preset edited blind is
// never recalled); a recall by hand may pause the sequences of its
// processor; every step and trigger goes to the journal.
class StationShow : public QObject
{
    Q_OBJECT

public:
    StationShow(StationWindow *station, ShowClock *clock, JournalRecorder *journal, QObject *parent = nullptr);

    // Reads the show file and the schedules' state, and starts the schedules.
    void start();
    void setEnglish(bool english) { m_text.setEnglish(english); }
    // A processor's hand recalls from now on (index from 0).
    void watch(int processor);

    SequenceDeck *deck() const { return m_deck; }
    Scheduler *scheduler() const { return m_scheduler; }
    const ShowFile::Show &show() const { return m_show; }

    // Each keeps what it is given in the show file; why it cannot, empty
    // when it did.
    QString storeSequence(const Sequence &sequence);
    QString setSequences(const QList<Sequence> &sequences);
    QString setSchedules(const QList<Schedule> &schedules, const ShowFile::Settings &settings);
    QString setBackups(const QList<BackupTable::Entry> &backups);
    void setSchedulesOn(bool on);

    // The look's presets recalled as origin asks, each processor's through
    // its window; the recall is the show's until it finishes.
    LookRecall *recall(const Look &look, RemoteActions::Origin origin);

signals:
    void said(const QString &text, bool failed);
    void backupsChanged();
    void settingsChanged();

private:
    void runStep(const QString &sequence, const SequenceStep &step, const SequencePlayer::Done &done);
    void fire(const Schedule &schedule, qint64 lateMs);
    void missed(const Schedule &schedule, const QDateTime &occurrence);
    void handRecalled(int processor, int origin);
    std::optional<Look> lookNamed(const QString &name) const;
    void applySettings();
    QString save();
    void saveState() const;
    QString describeStep(const SequenceStep &step) const;

    StationWindow *m_station;
    ShowClock *m_clock;
    JournalRecorder *m_journal;
    SequenceDeck *m_deck;
    Scheduler *m_scheduler;
    ShowFile::Show m_show;
    Bilingual m_text;
    bool m_refused = false; // the file read had faults: kept aside before it is written
};

#endif // STATIONSHOW_H
