#ifndef BACKUPSOURCES_H
#define BACKUPSOURCES_H

#include <backupswitcher.h>
#include <backuptable.h>
#include <bilingual.h>

#include <QMap>
#include <QObject>
#include <QString>

#include <functional>

class OnAirModel;
class OperatorActions;
class QAction;
class QMenu;
class ShowClock;
class SignalPoll;
class Singleton_SerialPort;

// One processor's backup sources: the signal poll, the switcher over the
// windows of the preset on air, and the switches sent to the device as the
// program's own requests, which leave the host's preset as stored. The
// operator hears of each switch once (message()), the window list marks
// the windows on backups (notes()), and the remote control hears through
// the operator's actions (switched()).
class BackupSources : public QObject
{
    Q_OBJECT

public:
    BackupSources(Singleton_SerialPort *link, OperatorActions *actions, OnAirModel *air, ShowClock *clock,
                  QObject *parent = nullptr);

    // This processor's entries of the station's table.
    void setEntries(const QList<BackupTable::Entry> &entries);
    void setEnglish(bool english);

    // Back to the main input, as the operator asks; false when the window
    // of the preset on air is not on a backup.
    bool returnToMain(int window);
    // The operator's "Return to main input" in the menu, for the window
    // window() names when the menu opens.
    void addReturnAction(QMenu *menu, const std::function<int()> &window);

    // The windows on backups, each with its note for the operator.
    QMap<int, QString> notes() const;
    BackupSwitcher *switcher() { return &m_switcher; }

signals:
    // The device took the switch.
    void switched(const BackupSwitcher::Switch &change);
    // Said once, for the status bar.
    void message(const QString &text);
    // notes() changed.
    void changed();

private:
    void watchOnAir();
    void takeSignals();
    void send(const BackupSwitcher::Switch &change);
    void tellSwitch(const BackupSwitcher::Switch &change, bool confirmed);
    QString windowName(int window) const;

    Singleton_SerialPort *m_link;
    OperatorActions *m_actions;
    OnAirModel *m_air;
    BackupSwitcher m_switcher;
    SignalPoll *m_poll;
    Bilingual m_text;
    QAction *m_return = nullptr;
};

#endif // BACKUPSOURCES_H
