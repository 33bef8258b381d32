#ifndef SHOWMENU_H
#define SHOWMENU_H

#include <bilingual.h>

#include <QObject>
#include <QStringList>

#include <functional>

class JournalRecorder;
class QAction;
class QLabel;
class QMenu;
class QToolButton;
class QWidget;
class SequencesDock;
class StationShow;

// The station's "Show" menu (the sequences' dock, the editors of the
// sequences, schedules and backup sources, the journal) and the schedules'
// master switch with the next trigger, for the status bar.
class ShowMenu : public QObject
{
    Q_OBJECT

public:
    using Names = std::function<QStringList()>;

    ShowMenu(StationShow *show, JournalRecorder *journal, SequencesDock *dock, Names names, QWidget *window);

    QMenu *menu() const { return m_menu; }
    // The switch and the next trigger, for a status bar.
    QWidget *switchBar() const { return m_switchBar; }
    void setEnglish(bool english);
    // The switch shows while there are schedules.
    void refresh();

private:
    void openJournal();

    StationShow *m_show;
    JournalRecorder *m_journal;
    Names m_names;
    QWidget *m_window;
    QMenu *m_menu;
    QAction *m_dockAction;
    QAction *m_journalAction;
    QWidget *m_switchBar;
    QToolButton *m_switch;
    QLabel *m_next;
    Bilingual m_text;
};

#endif // SHOWMENU_H
