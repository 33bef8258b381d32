#ifndef SEQUENCEPLAYER_H
#define SEQUENCEPLAYER_H

#include "sequence.h"

#include <QDateTime>
#include <QObject>

#include <functional>

class ShowClock;
class ShowTimer;

// Plays one sequence on a show clock.
//
// A step begins by asking the runner to recall it; its dwell counts from
// that moment, so that the show keeps time whatever the device takes to
// answer. The next step begins when the dwell is over and the recall has
// ended: a confirmation that comes after the dwell holds the sequence
// until it comes (the runner ends every recall it is given, the link
// gives up after its time-out). A failed recall is told by stepFailed();
// then the run stops (OnFailure::Stop) or the next step begins at once
// (OnFailure::Skip). After the last step the run loops to the first or
// ends. A round of the steps in which every step failed ends the run,
// so that a loop on a station that answers nothing does not spin.
//
// Pausing freezes the time left of the dwell; resuming goes on with it,
// the step's recall standing (it is not asked again). The dwell is a
// span of the clock: a clock set while a step dwells moves its end too.
class SequencePlayer : public QObject
{
    Q_OBJECT

public:
    enum class State { Stopped, Playing, Paused };
    Q_ENUM(State)

    // The app recalls the step and calls done once, when the device
    // confirmed it or it failed (why says how); done may be called at once,
    // later, or never when the player was stopped or destroyed meanwhile.
    // A done of a step the player has left is ignored.
    using Done = std::function<void(bool ok, const QString &why)>;
    using StepRunner = std::function<void(const SequenceStep &step, Done done)>;

    // runner: a callable one.
    SequencePlayer(const Sequence &sequence, ShowClock *clock, StepRunner runner, QObject *parent = nullptr);

    const Sequence &sequence() const { return m_sequence; }
    State state() const { return m_state; }
    // The current step, -1 when stopped.
    int step() const { return m_step; }
    // Of the current step's dwell: 0 when stopped or when the dwell is over
    // and the step's recall has not ended; frozen while paused.
    qint64 timeLeftMs() const;

    // From the first step, whatever the state.
    void start();
    // Each false (and nothing changes) unless playing, resp. paused.
    bool pause();
    bool resume();
    // Ends the run; finished() is not emitted: the run did not end itself.
    void stop();

signals:
    // The state, the step or its timing changed.
    void changed();
    void stepStarted(int index);
    void stepFailed(int index, const QString &why);
    // The run ended itself: completed after its last step, not when a
    // failure stopped it or a whole round failed.
    void finished(bool completed);

private:
    void runStep(int index);
    void stepEnded(quint64 run, bool ok, const QString &why);
    void dwellOver();
    void next();
    void end(bool completed);

    const Sequence m_sequence;
    ShowClock *m_clock;
    StepRunner m_runner;
    ShowTimer *m_timer;
    State m_state = State::Stopped;
    int m_step = -1;
    // Counts the steps begun, so that a late done is known for one.
    quint64 m_run = 0;
    bool m_recallEnded = false;
    bool m_roundSucceeded = false;
    qint64 m_pausedLeftMs = 0;
};

#endif // SEQUENCEPLAYER_H
