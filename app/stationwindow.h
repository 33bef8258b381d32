#ifndef STATIONWINDOW_H
#define STATIONWINDOW_H

#include <stationsettings.h>

#include <QList>
#include <QMainWindow>

class Journal;
class JournalRecorder;
class LooksBar;
class LookTarget;
class MainWindow;
class ProcessorsDock;
class QAction;
class QStackedWidget;
class SequencesDock;
class ShowClock;
class ShowMenu;
class StationRemote;
class StationShow;

// The station: one window for every processor of the venue. Each
// processor is a MainWindow of its own (its link, record, files, marks,
// histories and dialogs) shown in turn in the centre; the "Processors"
// dock chooses which, the looks bar recalls presets across them. With one
// processor and no looks, the window is that processor's as it always was.
class StationWindow : public QMainWindow
{
    Q_OBJECT

public:
    // clock: the one the show runs on; the system's when none is given.
    explicit StationWindow(ShowClock *clock = nullptr, QWidget *parent = nullptr);
    ~StationWindow() override;

    int processorCount() const { return m_windows.size(); }
    MainWindow *processor(int index) const { return m_windows.value(index); }
    int current() const;
    void choose(int index);
    LooksBar *looks() const { return m_looks; }
    QString processorName(int index) const { return m_settings.value(index).name; }
    StationShow *show() const { return m_show; }
    JournalRecorder *journal() const { return m_recorder; }
    // Every processor not linked is linked, as Connect does.
    void linkAll();

signals:
    // The operator closed the station's window: the program ends with it.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void addProcessor(const StationSettings::Processor &settings);
    void removeLastProcessor();
    void editProcessors();
    void apply(const QList<StationSettings::Processor> &processors);
    void showProcessors();
    QStringList names() const;
    void applyBackups(int index);
    QString folderOf(int index) const;
    void prepareFolder(int index, const StationSettings::Processor &settings) const;
    void rewire(MainWindow *window);
    void toggleAll(MainWindow *asked);
    void setLanguage(int english);
    void updateChrome();
    void say(const QString &text, bool failed);
    void saveSettings();

    QStackedWidget *m_stack;
    ProcessorsDock *m_dock;
    LooksBar *m_looks;
    StationRemote *m_remote = nullptr;
    ShowClock *m_clock;
    Journal *m_journal;
    JournalRecorder *m_recorder;
    StationShow *m_show;
    SequencesDock *m_sequencesDock;
    ShowMenu *m_showMenu;
    QList<StationSettings::Processor> m_settings;
    QList<MainWindow *> m_windows;
    QList<LookTarget *> m_targets;
    QAction *m_processorsAction;
    int m_english = 0;
};

#endif // STATIONWINDOW_H
