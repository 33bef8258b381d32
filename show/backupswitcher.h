#ifndef BACKUPSWITCHER_H
#define BACKUPSWITCHER_H

#include "backuptable.h"

#include <QDateTime>
#include <QList>
#include <QMap>
#include <QObject>

class ShowClock;
class ShowTimer;

// Decides, for the windows of the preset on air, when a window's input is
// replaced by a backup and when the main input comes back. It never talks
// to the device: it is told the preset on air and its windows as stored
// (the main inputs), and the inputs with a signal as each read finds them;
// it asks for the switches and for a fresh read.
//
// An input counts as lost when a read finds it without signal and a read at
// least a second later still does: when it is first seen lost, readWanted()
// asks for that second read a second on. The window then takes the first
// backup with a signal. Back on its main input: by itself once the main's
// signal has been there for the entry's stable time (auto), or when the
// operator says so (manual). The stored preset never changes; a preset
// that leaves the air with windows on backups is put back to its mains.
class BackupSwitcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int LossMs = 1000;

    enum class Reason { Lost, Returned, Operator, Restored };

    // A window of the preset to be shown from another input.
    struct Switch
    {
        int preset = -1;
        int window = 0;
        int from = 0;
        int to = 0;
        Reason reason = Reason::Lost;
    };
    // A window shown from a backup.
    struct Standby
    {
        int main = 0;
        int backup = 0;
    };

    explicit BackupSwitcher(ShowClock *clock, QObject *parent = nullptr);

    // This processor's entries; windows already on backups keep theirs.
    void setEntries(const QList<BackupTable::Entry> &entries);
    // The preset on air (-1: none known) and its windows, window to input
    // as stored. Another preset ends the old one's backups: each such
    // window is switched back to its main (Reason::Restored).
    void setOnAir(int preset, const QMap<int, int> &windows);
    // The inputs with a signal, as a read found them now.
    void setSignals(const QList<int> &present);
    // Forgets the windows on backups without asking for anything: the
    // device's copy is no longer known (the link went).
    void reset();

    // Manual return of the window, as the operator asks; false when the
    // window of the preset on air is not on a backup.
    bool returnToMain(int window);

    int preset() const { return m_preset; }
    // The windows on backups, by window.
    QMap<int, Standby> onBackup() const;

signals:
    // Send the window's input as the switch says.
    void switchWanted(const BackupSwitcher::Switch &change);
    // The window's input and every backup have no signal; told once until
    // a signal comes back.
    void noBackup(int preset, int window, int main);
    // A read of the signals is due now.
    void readWanted();
    // onBackup() changed.
    void changed();

private:
    struct Watch
    {
        int main = 0;
        int shown = 0; // the input the device shows
        QDateTime lostSince;   // the shown input first found without signal
        QDateTime stableSince; // the main input found with signal again
        bool told = false;     // noBackup() said for this loss
    };

    void evaluate();
    void evaluate(int window, Watch &watch);
    void replace(int window, Watch &watch);
    void returnIfStable(int window, Watch &watch);
    void change(int window, Watch &watch, int to, Reason reason);
    void plan();
    void wake();
    const BackupTable::Entry *entryOf(int input) const;
    bool present(int input) const { return m_present.contains(input); }

    ShowClock *m_clock;
    ShowTimer *m_timer;
    QList<BackupTable::Entry> m_entries;
    int m_preset = -1;
    QMap<int, Watch> m_windows;
    QList<int> m_present;
    QDateTime m_signalsAt; // when the last read found m_present
    bool m_readsKnown = false;
    bool m_readAsked = false; // readWanted() said, no read since
};

Q_DECLARE_METATYPE(BackupSwitcher::Switch)

#endif // BACKUPSWITCHER_H
