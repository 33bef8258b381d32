#ifndef JOURNALRECORDER_H
#define JOURNALRECORDER_H

#include <journalentry.h>

#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>

class Journal;
class LookRecall;
class MainWindow;

// What reaches the processors, told to the station's journal: the recalls
// the operator and remote clients make in each window, every preset
// written, the looks, and what the show and the backup sources do, each
// entry settled by what the device answered.
class JournalRecorder : public QObject
{
    Q_OBJECT

public:
    JournalRecorder(Journal *journal, QObject *parent = nullptr);

    Journal *journal() const { return m_journal; }
    // Opens the journal unless another copy of the program holds the
    // station's folder; false when it is not kept.
    bool openJournal();
    // processor from 0; its recalls and writes from now on.
    void watch(int processor, const QString &name, MainWindow *window);
    void setNames(const QStringList &names) { m_names = names; }

    // An entry left pending until settle(); processor from 0, -1 for the
    // station. 0 when the journal did not keep it.
    qint64 record(JournalEntry::Who who, const QString &by, int processor, const QString &kind,
                  const QString &what);
    void settle(qint64 id, bool confirmed, const QString &detail = {});
    // An entry settled when the recall has finished, with what became of
    // each processor when not all confirmed.
    void recordRecall(LookRecall *recall, JournalEntry::Who who, const QString &by, const QString &kind,
                      const QString &what);

    // A look's recall that has finished, with its outcome.
    void recordLook(const LookRecall *recall, JournalEntry::Who who, const QString &by);
    static JournalEntry::Who whoOf(int origin);

    // What became of each processor of the recall that did not confirm.
    QString faultsOf(const LookRecall *recall) const;

private:
    struct Pending
    {
        int processor;
        int preset;
        qint64 id;
    };

    void recallPosted(int processor, int preset, int origin, const QString &by);
    void recallEnded(int processor, int preset, bool confirmed);
    void presetWritten(int processor, int preset, int outcome);
    void linkEnded(int processor);

    Journal *m_journal;
    QStringList m_names;
    QList<Pending> m_recalls; // posted, not yet answered, oldest first
    QHash<int, qint64> m_work; // per processor, its import or initialisation under way
    bool m_failed = false;    // the journal could not be opened: not tried again
};

#endif // JOURNALRECORDER_H
