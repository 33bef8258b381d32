#ifndef STEPRECORDER_H
#define STEPRECORDER_H

#include "manualclock.h"
#include "sequencedeck.h"
#include "sequenceplayer.h"

#include <QHash>
#include <QList>
#include <QStringList>

// Stands in for the app that recalls the steps: notes each step asked and
// the clock's time, and answers as a test tells it, at once or later.
class StepRecorder
{
public:
    enum class Answer { Ok, Fail, Later };

    struct Call
    {
        qint64 atMs = 0; // since the recorder was made
        QString label;
    };

    explicit StepRecorder(ManualClock *clock)
        : m_clock(clock)
        , m_start(clock->now())
    {
    }

    // "P1M3" (processor and preset as the operator counts them) or the look.
    static QString label(const SequenceStep &step)
    {
        return step.isLook() ? step.look : QStringLiteral("P%1M%2").arg(step.processor + 1).arg(step.preset + 1);
    }

    // Steps not told answer Ok at once.
    void answer(const QString &label, Answer answer) { m_answers.insert(label, answer); }

    // The same, for a deck's players.
    SequenceDeck::Runner deckRunner()
    {
        return [this](const QString &, const SequenceStep &step, SequencePlayer::Done done) {
            runner()(step, std::move(done));
        };
    }

    SequencePlayer::StepRunner runner()
    {
        return [this](const SequenceStep &step, SequencePlayer::Done done) {
            const QString name = label(step);
            calls.append({m_start.msecsTo(m_clock->now()), name});
            switch (m_answers.value(name, Answer::Ok)) {
            case Answer::Ok:
                done(true, {});
                break;
            case Answer::Fail:
                done(false, name + QStringLiteral(" refused"));
                break;
            case Answer::Later:
                pending.append(done);
                break;
            }
        };
    }

    QStringList labels() const
    {
        QStringList list;
        for (const Call &call : calls)
            list.append(call.label);
        return list;
    }
    QList<qint64> times() const
    {
        QList<qint64> list;
        for (const Call &call : calls)
            list.append(call.atMs);
        return list;
    }
    qint64 elapsedMs() const { return m_start.msecsTo(m_clock->now()); }

    QList<Call> calls;
    QList<SequencePlayer::Done> pending; // of the steps answered Later, in order

private:
    ManualClock *m_clock;
    QDateTime m_start;
    QHash<QString, Answer> m_answers;
};

#endif // STEPRECORDER_H
