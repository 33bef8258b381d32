#ifndef LOOKRECALL_H
#define LOOKRECALL_H

#include "look.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class LookTarget;

// One recall of a look: every processor's preset asked at once, each link
// working on its own, and what became of each one. A processor that is not
// linked is reported at once; one that does not answer in time is reported
// when the look's wait ends, and never holds the others back.
class LookRecall : public QObject
{
    Q_OBJECT

public:
    // Refused: the processor would not recall it (a preset edited blind).
    enum class Result { Pending, Confirmed, Failed, NotLinked, NoAnswer, Refused };
    Q_ENUM(Result)

    struct Outcome
    {
        int processor = 0;
        int preset = 0;
        Result result = Result::Pending;
    };

    // A recall's own time-out on the link, and a margin for its resends.
    static constexpr int DefaultWaitMs = 7000;

    // targets[i] is processor i.
    LookRecall(const Look &look, const QList<LookTarget *> &targets, QObject *parent = nullptr);

    // Asks every processor of the look; finished() follows, at once when
    // none is linked.
    void start(int waitMs = DefaultWaitMs);
    const Look &look() const { return m_look; }
    QList<Outcome> outcomes() const { return m_outcomes; }
    bool isFinished() const;
    // Confirmed by every processor of the look.
    bool succeeded() const;
    static QString resultName(Result result);
    // Runs done at once when the recall has finished already (none of its
    // processors was linked), else when it finishes; not after context goes.
    void whenFinished(QObject *context, const std::function<void()> &done);

signals:
    void finished();

private:
    void ended(int processor, int preset, bool confirmed);
    void settle(int index, Result result);
    void finishIfDone();

    Look m_look;
    QList<LookTarget *> m_targets;
    QList<Outcome> m_outcomes;
    QTimer m_wait;
    bool m_done = false;
};

#endif // LOOKRECALL_H
