#include "sequenceplayer.h"

#include "showclock.h"
#include "showlog.h"

#include <QPointer>

#include <algorithm>

SequencePlayer::SequencePlayer(const Sequence &sequence, ShowClock *clock, StepRunner runner, QObject *parent)
    : QObject(parent)
    , m_sequence(sequence)
    , m_clock(clock)
    , m_runner(std::move(runner))
    , m_timer(clock->createTimer(this))
{
    connect(m_timer, &ShowTimer::timeout, this, &SequencePlayer::dwellOver);
}

qint64 SequencePlayer::timeLeftMs() const
{
    if (m_state == State::Paused)
        return m_pausedLeftMs;
    if (m_state == State::Stopped || !m_timer->isActive())
        return 0;
    return std::max<qint64>(0, m_clock->now().msecsTo(m_timer->due()));
}

void SequencePlayer::start()
{
    m_timer->stop();
    m_state = State::Playing;
    m_step = -1;
    m_roundSucceeded = false;
    next();
}

bool SequencePlayer::pause()
{
    if (m_state != State::Playing)
        return false;
    m_pausedLeftMs = timeLeftMs();
    m_timer->stop();
    m_state = State::Paused;
    emit changed();
    return true;
}

bool SequencePlayer::resume()
{
    if (m_state != State::Paused)
        return false;
    m_state = State::Playing;
    if (m_pausedLeftMs > 0)
        m_timer->start(m_clock->now().addMSecs(m_pausedLeftMs));
    if (m_pausedLeftMs == 0 && m_recallEnded)
        next();
    else
        emit changed();
    return true;
}

void SequencePlayer::stop()
{
    if (m_state == State::Stopped)
        return;
    ++m_run;
    m_timer->stop();
    m_state = State::Stopped;
    m_step = -1;
    emit changed();
}

void SequencePlayer::runStep(int index)
{
    const quint64 run = ++m_run;
    const SequenceStep &step = m_sequence.steps.at(index);
    m_step = index;
    m_recallEnded = false;
    m_timer->start(m_clock->now().addMSecs(step.dwellMs));
    emit stepStarted(index);
    emit changed();
    if (run != m_run) // a receiver stopped or restarted the run
        return;
    const QPointer<SequencePlayer> self(this);
    m_runner(step, [self, run](bool ok, const QString &why) {
        if (self)
            self->stepEnded(run, ok, why);
    });
}

void SequencePlayer::stepEnded(quint64 run, bool ok, const QString &why)
{
    if (run != m_run || m_recallEnded)
        return;
    m_recallEnded = true;
    if (ok) {
        m_roundSucceeded = true;
        if (m_state == State::Playing && !m_timer->isActive())
            next();
        return;
    }
    const int index = m_step;
    qCInfo(lcShow) << "sequence" << m_sequence.name << "step" << index + 1 << "failed:" << why;
    emit stepFailed(index, why);
    if (run != m_run)
        return;
    if (m_sequence.onFailure == Sequence::OnFailure::Stop) {
        end(false);
        return;
    }
    // Skipped at once; a paused run moves on when resumed.
    m_timer->stop();
    m_pausedLeftMs = 0;
    if (m_state == State::Playing)
        next();
    else
        emit changed();
}

void SequencePlayer::dwellOver()
{
    if (m_recallEnded)
        next();
    else
        emit changed(); // held until the device answers
}

void SequencePlayer::next()
{
    const int index = m_step + 1;
    if (index < m_sequence.steps.size()) {
        runStep(index);
        return;
    }
    if (!m_roundSucceeded) {
        qCInfo(lcShow) << "sequence" << m_sequence.name << "ends: no step of the round succeeded";
        end(false);
    } else if (m_sequence.loop) {
        m_roundSucceeded = false;
        runStep(0);
    } else {
        end(true);
    }
}

void SequencePlayer::end(bool completed)
{
    stop();
    emit finished(completed);
}
