#ifndef REMOTESTATION_H
#define REMOTESTATION_H

#include "journalfilter.h"
#include "remoteactions.h"

#include <QDateTime>
#include <QJsonObject>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The processors the remote control serves, the looks that switch them
// together, the sequences that play steps in turn and the journal of what
// was done, as the server sees them: never the window's widgets.
// Processors, presets and steps count from 0 here. Called in the GUI thread.
class RemoteStation : public QObject
{
    Q_OBJECT

public:
    struct Entry
    {
        int processor = 0;
        int preset = 0;
    };
    struct Look
    {
        QString name;
        QList<Entry> entries;
    };
    // What became of one processor's preset in a look's recall:
    // "confirmed", "failed", "not linked" or "no answer".
    struct Result
    {
        int processor = 0;
        int preset = 0;
        QString result;
    };
    using Recalled = std::function<void(const QList<Result> &results)>;

    enum class SequenceState { Stopped, Playing, Paused };
    enum class SequenceCommand { Start, Pause, Resume, Stop };
    struct SequenceStatus
    {
        QString name;
        SequenceState state = SequenceState::Stopped;
        int step = -1; // the one playing or paused, -1 when stopped
        int steps = 0;
        double timeLeft = 0; // of the step's dwell, in seconds
        bool loop = false;
    };
    struct JournalEntry
    {
        qint64 id = 0;
        QDateTime time;
        QString who;  // as JournalFilter::who
        QString by;   // the client's address and name, the schedule or the sequence
        int processor = JournalFilter::Station;
        QString processorName;
        QString kind; // "recall", "look", "write", "take", "import", ...
        QString what;
        QString result; // "pending", "confirmed", "failed", "given up"
        QString detail;
    };

    using QObject::QObject;

    // In order; their number is fixed for the station's life.
    virtual QList<RemoteActions *> processors() const = 0;
    virtual QStringList names() const = 0;
    // The processor the window shows.
    virtual int selected() const = 0;
    virtual QList<Look> looks() const = 0;
    // done follows once every processor has answered or the look's wait
    // ended, at once when none is linked. caller: RemoteCall::client.
    virtual void recallLook(int look, const QString &caller, const Recalled &done) = 0;
    // Keeps the look, of the presets on air when it names none; the reason
    // when it cannot be kept, empty when it was.
    virtual QString storeLook(const Look &look) = 0;

    // A station without a show has no sequence and keeps no journal.
    // In the order clients number them from 1.
    virtual QList<SequenceStatus> sequences() const;
    // definition: one sequence in its file form (processors and presets
    // counted from 1), within the codec's bounds but otherwise unchecked;
    // why it cannot be kept, empty when it was.
    virtual QString storeSequence(const QJsonObject &definition);
    // Why the sequence cannot do it now, empty when it did.
    virtual QString controlSequence(int sequence, SequenceCommand command);
    // Newest first, at most filter.limit.
    virtual QList<JournalEntry> queryJournal(const JournalFilter &filter) const;

signals:
    // A look's recall ended, whoever asked it (RemoteActions::Origin).
    void lookRecalled(const QString &look, int origin, const QList<RemoteStation::Result> &results);
    // A sequence started, stopped, paused, resumed or went to another step.
    void sequenceChanged(const RemoteStation::SequenceStatus &status);
};

#endif // REMOTESTATION_H
