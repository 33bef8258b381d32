#ifndef SEQUENCEDECK_H
#define SEQUENCEDECK_H

#include "sequence.h"
#include "sequenceplayer.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class ShowClock;

// The station's sequences, each with its player. Sequences are found by
// name without regard to case. Every call that can be refused returns why
// (empty when done), for the window and the remote control to show.
class SequenceDeck : public QObject
{
    Q_OBJECT

public:
    // Whether the look recalls a preset on the processor (from 0). Without
    // one, a look is taken to touch every processor.
    using LookCovers = std::function<bool(const QString &look, int processor)>;

    struct Status
    {
        QString name;
        SequencePlayer::State state = SequencePlayer::State::Stopped;
        int step = -1;
        int stepCount = 0;
        qint64 timeLeftMs = 0;
        bool loop = false;
    };

    explicit SequenceDeck(ShowClock *clock, QObject *parent = nullptr);

    // Recalls a step of the sequence named (for the journal: who asked).
    using Runner = std::function<void(const QString &sequence, const SequenceStep &step, SequencePlayer::Done done)>;

    // Set once, before the first start; recalls the steps of all players.
    void setRunner(Runner runner) { m_runner = std::move(runner); }
    void setLookCovers(LookCovers covers) { m_lookCovers = std::move(covers); }

    // All of them at once (as a file gives them): a sequence kept as it was
    // plays on, one that changed or went is stopped. Refused whole when
    // the list could not be kept together.
    QString setSequences(const QList<Sequence> &sequences);
    QList<Sequence> sequences() const;
    // Adds the sequence, or replaces the one of its name (stopping it).
    QString store(const Sequence &sequence);
    QString remove(const QString &name);

    // Start while playing or paused starts again from the first step;
    // pause needs a playing sequence, resume a paused one.
    QString start(const QString &name);
    QString pause(const QString &name);
    QString resume(const QString &name);
    QString stop(const QString &name);
    void stopAll();
    // Pauses every playing sequence with a step on the processor (from 0),
    // as when the operator recalls there by hand; returns their names.
    QStringList pauseFor(int processor);

    std::optional<Status> status(const QString &name) const;
    QList<Status> statuses() const;
    // The sequence's player, nullptr for an unknown name; the deck's own.
    const SequencePlayer *player(const QString &name) const;

signals:
    // The sequence's state, step or timing changed, or the sequence itself
    // (stored, replaced, removed).
    void changed(const QString &name);
    void stepFailed(const QString &name, int index, const QString &why);
    void finished(const QString &name, bool completed);

private:
    static Status statusOf(const SequencePlayer &player);
    int indexOf(const QString &name) const;
    SequencePlayer *playerOf(const QString &name, QString *error) const;
    SequencePlayer *createPlayer(const Sequence &sequence);
    void retire(SequencePlayer *player);
    bool touches(const Sequence &sequence, int processor) const;

    ShowClock *m_clock;
    Runner m_runner;
    LookCovers m_lookCovers;
    QList<SequencePlayer *> m_players; // in the order of the sequences
};

#endif // SEQUENCEDECK_H
