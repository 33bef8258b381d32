#include "backupswitcher.h"

#include "showclock.h"
#include "showlog.h"

#include <algorithm>
#include <utility>

BackupSwitcher::BackupSwitcher(ShowClock *clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock)
    , m_timer(clock->createTimer(this))
{
    connect(m_timer, &ShowTimer::timeout, this, &BackupSwitcher::wake);
}

void BackupSwitcher::setEntries(const QList<BackupTable::Entry> &entries)
{
    m_entries = entries;
    evaluate();
}

// A window whose stored input changed was sent by the operator's edit: it
// shows its new main, whatever it showed before.
void BackupSwitcher::setOnAir(int preset, const QMap<int, int> &windows)
{
    const bool wasOnBackup = !onBackup().isEmpty();
    if (preset != m_preset) {
        for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
            if (it->shown != it->main)
                change(it.key(), *it, it->main, Reason::Restored);
        }
        m_windows.clear();
        m_preset = preset;
    }
    QMap<int, Watch> watched;
    for (auto it = windows.cbegin(); it != windows.cend(); ++it) {
        Watch watch = m_windows.value(it.key());
        if (!m_windows.contains(it.key()) || watch.main != it.value())
            watch = Watch{it.value(), it.value(), {}, {}, false};
        watched.insert(it.key(), watch);
    }
    m_windows = watched;
    if (wasOnBackup != !onBackup().isEmpty())
        emit changed();
    evaluate();
}

void BackupSwitcher::setSignals(const QList<int> &present)
{
    m_present = present;
    m_signalsAt = m_clock->now();
    m_readsKnown = true;
    m_readAsked = false;
    evaluate();
}

void BackupSwitcher::reset()
{
    const bool wasOnBackup = !onBackup().isEmpty();
    m_windows.clear();
    m_preset = -1;
    m_readsKnown = false;
    m_timer->stop();
    if (wasOnBackup)
        emit changed();
}

bool BackupSwitcher::returnToMain(int window)
{
    auto it = m_windows.find(window);
    if (it == m_windows.end() || it->shown == it->main)
        return false;
    change(window, *it, it->main, Reason::Operator);
    plan();
    return true;
}

QMap<int, BackupSwitcher::Standby> BackupSwitcher::onBackup() const
{
    QMap<int, Standby> standby;
    for (auto it = m_windows.cbegin(); it != m_windows.cend(); ++it) {
        if (it->shown != it->main)
            standby.insert(it.key(), {it->main, it->shown});
    }
    return standby;
}

const BackupTable::Entry *BackupSwitcher::entryOf(int input) const
{
    for (const BackupTable::Entry &entry : m_entries) {
        if (entry.input == input)
            return &entry;
    }
    return nullptr;
}

void BackupSwitcher::evaluate()
{
    if (m_readsKnown) {
        for (auto it = m_windows.begin(); it != m_windows.end(); ++it)
            evaluate(it.key(), *it);
    }
    plan();
}

void BackupSwitcher::evaluate(int window, Watch &watch)
{
    if (!entryOf(watch.main))
        return;
    if (present(watch.shown)) {
        watch.lostSince = {};
        watch.told = false;
    } else if (!watch.lostSince.isValid()) {
        watch.lostSince = m_signalsAt;
    } else if (watch.lostSince.msecsTo(m_signalsAt) >= LossMs) {
        replace(window, watch);
    }
    returnIfStable(window, watch);
}

// The main comes first when its signal is back, stable or not: anything
// is better than a dead input.
void BackupSwitcher::replace(int window, Watch &watch)
{
    QList<int> candidates{watch.main};
    candidates << entryOf(watch.main)->backups;
    for (int input : std::as_const(candidates)) {
        if (input != watch.shown && present(input)) {
            change(window, watch, input, input == watch.main ? Reason::Returned : Reason::Lost);
            return;
        }
    }
    if (!std::exchange(watch.told, true)) {
        qCInfo(lcShow) << "window" << window << "of preset" << m_preset << "lost input" << watch.main
                       << "and has no backup with a signal";
        emit noBackup(m_preset, window, watch.main);
    }
}

void BackupSwitcher::returnIfStable(int window, Watch &watch)
{
    if (watch.shown == watch.main || !present(watch.main)) {
        watch.stableSince = {};
        return;
    }
    if (!watch.stableSince.isValid())
        watch.stableSince = m_signalsAt;
    const BackupTable::Entry *entry = entryOf(watch.main);
    if (entry->returnMode == BackupTable::Return::Auto
        && watch.stableSince.msecsTo(m_clock->now()) >= qint64(entry->stableSeconds) * 1000)
        change(window, watch, watch.main, Reason::Returned);
}

void BackupSwitcher::change(int window, Watch &watch, int to, Reason reason)
{
    const Switch wanted{m_preset, window, watch.shown, to, reason};
    watch.shown = to;
    watch.lostSince = {};
    watch.stableSince = {};
    watch.told = false;
    qCInfo(lcShow) << "window" << window << "of preset" << wanted.preset << "from input" << wanted.from
                   << "to" << to;
    emit switchWanted(wanted);
    emit changed();
}

// The next instant something may be decided: a loss to confirm by a
// fresh read, or a main stable long enough.
void BackupSwitcher::plan()
{
    QDateTime next;
    const auto earliest = [&next](const QDateTime &due) {
        if (due.isValid() && (!next.isValid() || due < next))
            next = due;
    };
    for (const Watch &watch : std::as_const(m_windows)) {
        const BackupTable::Entry *entry = entryOf(watch.main);
        if (!entry)
            continue;
        if (watch.lostSince.isValid() && !watch.told && !m_readAsked)
            earliest(watch.lostSince.addMSecs(LossMs));
        if (watch.stableSince.isValid() && entry->returnMode == BackupTable::Return::Auto)
            earliest(watch.stableSince.addSecs(entry->stableSeconds));
    }
    if (!next.isValid())
        m_timer->stop();
    else if (!m_timer->isActive() || m_timer->due() != next)
        m_timer->start(next);
}

// A loss is confirmed by a read made now; a stable main by what is known.
void BackupSwitcher::wake()
{
    const QDateTime now = m_clock->now();
    const bool lossDue = std::any_of(m_windows.cbegin(), m_windows.cend(), [&now](const Watch &watch) {
        return watch.lostSince.isValid() && !watch.told && watch.lostSince.msecsTo(now) >= LossMs;
    });
    m_readAsked = lossDue;
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it)
        returnIfStable(it.key(), *it);
    plan();
    if (lossDue)
        emit readWanted();
}
