#include "lookrecall.h"

#include "looktarget.h"
#include "stationlog.h"

LookRecall::LookRecall(const Look &look, const QList<LookTarget *> &targets, QObject *parent)
    : QObject(parent)
    , m_look(look)
    , m_targets(targets)
{
    m_wait.setSingleShot(true);
    connect(&m_wait, &QTimer::timeout, this, [this] {
        for (int i = 0; i < m_outcomes.size(); ++i) {
            if (m_outcomes.at(i).result == Result::Pending)
                settle(i, Result::NoAnswer);
        }
        finishIfDone();
    });
    for (const Look::Entry &entry : look.entries)
        m_outcomes.append({entry.processor, entry.preset, Result::Pending});
}

void LookRecall::start(int waitMs)
{
    for (int i = 0; i < m_outcomes.size(); ++i) {
        const Outcome &outcome = m_outcomes.at(i);
        LookTarget *target = m_targets.value(outcome.processor);
        if (!target || !target->linked()) {
            settle(i, Result::NotLinked);
            continue;
        }
        connect(target, &LookTarget::recallEnded, this,
                [this, processor = outcome.processor](int preset, bool confirmed) {
                    ended(processor, preset, confirmed);
                });
    }
    // Every recall is posted before any can end: a direct report cannot
    // finish the look while others are still to be asked. The windows
    // follow once every frame is on its way.
    QList<int> posted;
    for (int i = 0; i < m_outcomes.size(); ++i) {
        const Outcome &outcome = m_outcomes.at(i);
        if (outcome.result != Result::Pending)
            continue;
        if (m_targets.at(outcome.processor)->recall(outcome.preset))
            posted << i;
        else
            settle(i, Result::Refused);
    }
    for (int i : std::as_const(posted))
        m_targets.at(m_outcomes.at(i).processor)->follow(m_outcomes.at(i).preset);
    m_wait.start(waitMs);
    finishIfDone();
}

bool LookRecall::isFinished() const
{
    for (const Outcome &outcome : m_outcomes) {
        if (outcome.result == Result::Pending)
            return false;
    }
    return true;
}

bool LookRecall::succeeded() const
{
    for (const Outcome &outcome : m_outcomes) {
        if (outcome.result != Result::Confirmed)
            return false;
    }
    return true;
}

QString LookRecall::resultName(Result result)
{
    switch (result) {
    case Result::Pending:
        return QStringLiteral("pending");
    case Result::Confirmed:
        return QStringLiteral("confirmed");
    case Result::Failed:
        return QStringLiteral("failed");
    case Result::NotLinked:
        return QStringLiteral("not linked");
    case Result::NoAnswer:
        return QStringLiteral("no answer");
    case Result::Refused:
        return QStringLiteral("refused");
    }
    return {};
}

void LookRecall::whenFinished(QObject *context, const std::function<void()> &done)
{
    if (isFinished())
        done();
    else
        connect(this, &LookRecall::finished, context, done);
}

// A processor's recall of another preset (the operator's, meanwhile) is
// not this look's.
void LookRecall::ended(int processor, int preset, bool confirmed)
{
    for (int i = 0; i < m_outcomes.size(); ++i) {
        const Outcome &outcome = m_outcomes.at(i);
        if (outcome.processor == processor && outcome.preset == preset && outcome.result == Result::Pending)
            settle(i, confirmed ? Result::Confirmed : Result::Failed);
    }
    finishIfDone();
}

void LookRecall::settle(int index, Result result)
{
    Outcome &outcome = m_outcomes[index];
    outcome.result = result;
    qCDebug(lcStation) << "look" << m_look.name << "processor" << outcome.processor + 1 << resultName(result);
}

void LookRecall::finishIfDone()
{
    if (m_done || !isFinished())
        return;
    m_done = true;
    m_wait.stop();
    for (LookTarget *target : std::as_const(m_targets))
        disconnect(target, nullptr, this, nullptr);
    emit finished();
}
