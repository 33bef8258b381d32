#ifndef SHOWMENU_H
#define SHOWMENU_H

#include <bilingual.h>

#include <QObject>

class JournalRecorder;
class QAction;
class QDialog;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;
class SequencesDock;
class StationShow;
class StationWindow;
struct ShowNames;

// The station's "Show" menu (the sequences' dock, the editors of the
// sequences, schedules and backup sources, the journal) and the schedules'
// master switch with the next trigger, for the status bar.
class ShowMenu : public QObject
{
    Q_OBJECT

public:
    ShowMenu(StationWindow *station, StationShow *show, JournalRecorder *journal, SequencesDock *dock);

    QMenu *menu() const { return m_menu; }
    // The switch and the next trigger, for a status bar.
    QWidget *switchBar() const { return m_switchBar; }
    void setEnglish(bool english);
    // The switch shows while there are schedules.
    void refresh();

signals:
    // What the station refused of a dialog's answer.
    void said(const QString &text, bool failed);

private:
    void openJournal();
    void openSequences();
    void openSchedules();
    void openBackups();
    ShowNames names() const;
    // Opens the dialog, deleted as it closes; a refusal of what it gave is said.
    void open(QDialog *dialog);

    StationShow *m_show;
    JournalRecorder *m_journal;
    StationWindow *m_station;
    QMenu *m_menu;
    QAction *m_dockAction;
    QAction *m_sequencesAction;
    QAction *m_schedulesAction;
    QAction *m_backupsAction;
    QAction *m_journalAction;
    QWidget *m_switchBar;
    QToolButton *m_switch;
    QLabel *m_next;
    Bilingual m_text;
};

#endif // SHOWMENU_H
