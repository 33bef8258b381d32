#include "stationwindow.h"

#include "applog.h"
#include "backupsources.h"
#include "connectionflow.h"
#include "looksbar.h"
#include "mainmenus.h"
#include "mainwindow.h"
#include "operatoractions.h"
#include "processorsdock.h"
#include "remotepanel.h"
#include "journalrecorder.h"
#include "processortarget.h"
#include "sequencesdock.h"
#include "showmenu.h"
#include "stationremote.h"
#include "stationshow.h"

#include <appdirectory.h>
#include <dialog_processors.h>
#include <journal.h>
#include <lookrecall.h>
#include <lookstore.h>
#include <looktarget.h>
#include <settingsfile.h>
#include <singleton_serialport.h>
#include <systemclock.h>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QToolBar>

namespace {

// How long the status bar tells of a look.
constexpr int LookMessageMs = 15000;

} // namespace

StationWindow::StationWindow(ShowClock *clock, QWidget *parent)
    : QMainWindow(parent)
    , m_stack(new QStackedWidget(this))
    , m_dock(new ProcessorsDock(this))
    , m_clock(clock ? clock : new SystemClock(this))
    , m_journal(new Journal(AppDirectory::filePath(QStringLiteral("MyJournal.db")), this))
    , m_recorder(new JournalRecorder(m_journal, this))
    , m_processorsAction(new QAction(this))
{
    // A journal there is opened for reading it; a new one is made with its
    // first entry, so a start alone writes nothing.
    if (QFile::exists(m_journal->path()))
        m_recorder->openJournal();
    m_processorsAction->setObjectName(QStringLiteral("actionProcessors"));
    connect(m_processorsAction, &QAction::triggered, this, &StationWindow::editProcessors);
    setCentralWidget(m_stack);
    addDockWidget(Qt::LeftDockWidgetArea, m_dock);
    auto *bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("looksBar"));
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    addToolBar(Qt::TopToolBarArea, bar);
    m_looks = new LooksBar(bar, AppDirectory::filePath(LookStore::fileName()), this);
    connect(m_looks, &LooksBar::said, this, &StationWindow::say);
    connect(m_looks, &LooksBar::recalled, this, [this](const LookRecall *recall, int origin, const QString &by) {
        m_recorder->recordLook(recall, JournalRecorder::whoOf(origin), by);
    });
    m_show = new StationShow(this, m_clock, m_recorder, this);
    connect(m_show, &StationShow::said, this, &StationWindow::say);
    connect(m_show, &StationShow::backupsChanged, this, [this] {
        for (int i = 0; i < m_windows.size(); ++i)
            applyBackups(i);
    });
    m_sequencesDock = new SequencesDock(m_show->deck(), this);
    connect(m_sequencesDock, &SequencesDock::said, this, &StationWindow::say);
    addDockWidget(Qt::LeftDockWidgetArea, m_sequencesDock);
    m_showMenu = new ShowMenu(this, m_show, m_recorder, m_sequencesDock);
    connect(m_showMenu, &ShowMenu::said, this, &StationWindow::say);
    connect(m_dock, &ProcessorsDock::chosen, this, &StationWindow::choose);
    m_settings = StationSettings::read(SettingsFile::path());
    for (const StationSettings::Processor &settings : std::as_const(m_settings))
        addProcessor(settings);
    m_remote = new StationRemote(m_looks, m_show, m_recorder, this);
    showProcessors();
    m_show->start();
    m_sequencesDock->setVisible(!m_show->show().sequences.isEmpty());
    m_windows.first()->serveStation(m_remote);
    // A wrong PIN of the tablet page is the journal's too.
    connect(m_windows.first()->remote(), &RemotePanel::pinRefused, this, [this](const QHostAddress &address) {
        m_recorder->settle(m_recorder->record(JournalEntry::Who::Remote, address.toString(), -1, QStringLiteral("pin"),
                                              QStringLiteral("wrong PIN of the tablet page")),
                           false);
    });
    choose(0);
    resize(m_windows.first()->size());
    // The windows read their language as the event loop starts; the
    // station's own parts take the same one now.
    setLanguage(SettingsFile::read(SettingsFile::path()).language);
}

// The dock, the looks and the title follow the list of processors.
void StationWindow::showProcessors()
{
    const QStringList names = this->names();
    for (int i = 0; i < m_settings.size(); ++i)
        m_targets.at(i)->setName(names.at(i));
    m_recorder->setNames(names);
    m_dock->setProcessors(m_windows, names);
    m_looks->setProcessors(m_windows, m_targets, names);
    QList<RemoteActions *> processors;
    for (MainWindow *window : std::as_const(m_windows))
        processors << window->actions();
    m_remote->setProcessors(processors, names);
    updateChrome();
}

// The processor's part of the station's backup table (processors from 1).
void StationWindow::applyBackups(int index)
{
    m_windows.at(index)->backups()->setEntries(BackupTable(m_show->show().backups).ofProcessor(index + 1));
}

QStringList StationWindow::names() const
{
    QStringList names;
    for (const StationSettings::Processor &settings : m_settings)
        names << settings.name;
    return names;
}

void StationWindow::editProcessors()
{
    QList<bool> linked;
    for (const MainWindow *window : std::as_const(m_windows))
        linked << (window->link()->state()->state() != LinkStateModel::State::Closed);
    auto *dialog = new Dialog_Processors(m_settings, linked, m_english != 0, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog] { apply(dialog->processors()); });
    dialog->open();
}

// Names and links as given; processors added at the end get a window, and
// those removed from the end take theirs with them, their files kept in
// their folders.
void StationWindow::apply(const QList<StationSettings::Processor> &processors)
{
    while (m_windows.size() > processors.size())
        removeLastProcessor();
    for (int i = 0; i < processors.size(); ++i) {
        if (i >= m_windows.size()) {
            m_settings.append(processors.at(i));
            addProcessor(processors.at(i));
            m_windows.last()->setLanguage(m_english);
            continue;
        }
        m_settings[i].name = processors.at(i).name;
        Singleton_SerialPort *link = m_windows.at(i)->link();
        if (link->state()->state() == LinkStateModel::State::Closed && link->linkSettings() != processors.at(i).link)
            link->setLinkSettings(processors.at(i).link);
    }
    showProcessors();
    choose(qMin(current(), m_windows.size() - 1));
    saveSettings();
}

void StationWindow::removeLastProcessor()
{
    MainWindow *window = m_windows.takeLast();
    m_stack->removeWidget(window);
    delete m_targets.takeLast();
    m_settings.removeLast();
    m_looks->setProcessors(m_windows, m_targets, {});
    m_dock->setProcessors(m_windows, {});
    delete window;
}

// Each processor's window saves its files as it goes; the station's part
// of the settings file is written first.
StationWindow::~StationWindow()
{
    saveSettings();
    // The remote control goes back to its window before the station goes.
    m_windows.first()->serveStation(nullptr);
    delete m_remote;
    // What follows the windows goes first: a window tells of its link's end
    // as it closes.
    delete m_show;
    delete m_looks;
    delete m_dock;
    qDeleteAll(m_targets);
    qDeleteAll(m_windows);
}

void StationWindow::addProcessor(const StationSettings::Processor &settings)
{
    const int index = m_windows.size();
    prepareFolder(index, settings);
    auto *window = new MainWindow(folderOf(index), index == 0, m_stack);
    window->setWindowFlags(Qt::Widget);
    m_stack->addWidget(window);
    m_windows << window;
    LookTarget *target = processorTarget(settings.name, window, RemoteActions::ByOperator);
    m_targets << target;
    m_recorder->watch(index, settings.name, window);
    m_show->watch(index);
    applyBackups(index);
    rewire(window);
}

// One remote control for every processor: the first window's.
QString StationWindow::folderOf(int index) const
{
    const QString relative = StationSettings::folderOf(index);
    return relative.isEmpty() ? AppDirectory::path() : AppDirectory::filePath(relative);
}

// A processor after the first keeps its files in a folder of its own; its
// link is the station's [processorN] group, handed to its settings file
// there, which the window reads.
void StationWindow::prepareFolder(int index, const StationSettings::Processor &settings) const
{
    if (index == 0 || !AppDirectory::writable())
        return;
    const QString folder = folderOf(index);
    QDir().mkpath(folder);
    const QString path = QDir(folder).filePath(SettingsFile::FileName);
    SettingsFile::Contents contents = SettingsFile::read(path);
    contents.linkSettings = settings.link;
    contents.language = SettingsFile::read(SettingsFile::path()).language;
    contents.defaults = false;
    SettingsFile::write(path, contents);
}

// Connect and Disconnect act on every processor; the dock links one alone.
// A language chosen in one window is every window's.
void StationWindow::rewire(MainWindow *window)
{
    const MainMenus &menus = window->menus();
    disconnect(menus.connect, &QAction::triggered, window->connection(), &ConnectionFlow::toggle);
    connect(menus.connect, &QAction::triggered, this, [this, window] { toggleAll(window); });
    connect(menus.chinese, &QAction::triggered, this, [this] { setLanguage(0); });
    connect(menus.english, &QAction::triggered, this, [this] { setLanguage(1); });
    window->menuBar()->addMenu(m_looks->menu());
    window->menuBar()->addMenu(m_showMenu->menu());
    menus.communication->addAction(m_processorsAction);
}

void StationWindow::linkAll()
{
    for (MainWindow *window : std::as_const(m_windows)) {
        if (window->link()->state()->state() == LinkStateModel::State::Closed)
            window->connection()->toggle();
    }
}

// As the processor asked shows it: linked, every processor is unlinked;
// otherwise every unlinked one is linked.
void StationWindow::toggleAll(MainWindow *asked)
{
    const bool unlink = asked->link()->state()->state() != LinkStateModel::State::Closed;
    for (MainWindow *window : std::as_const(m_windows)) {
        const bool closed = window->link()->state()->state() == LinkStateModel::State::Closed;
        if (closed != unlink)
            window->connection()->toggle();
    }
}

void StationWindow::setLanguage(int english)
{
    m_english = english;
    m_processorsAction->setText(english != 0 ? QStringLiteral("Processors...") : QStringLiteral("处理器..."));
    for (MainWindow *window : std::as_const(m_windows)) {
        if (window->language() != english)
            window->setLanguage(english);
    }
    m_dock->setEnglish(english != 0);
    m_looks->setEnglish(english != 0);
    m_show->setEnglish(english != 0);
    m_sequencesDock->setEnglish(english != 0);
    m_showMenu->setEnglish(english != 0);
    updateChrome();
}

void StationWindow::closeEvent(QCloseEvent *event)
{
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

int StationWindow::current() const
{
    return m_stack->currentIndex();
}

void StationWindow::choose(int index)
{
    if (index < 0 || index >= m_windows.size())
        return;
    m_stack->setCurrentIndex(index);
    m_dock->setCurrent(index);
    // The schedules' switch goes with the window shown.
    m_windows.at(index)->statusBar()->addPermanentWidget(m_showMenu->switchBar());
    m_showMenu->refresh();
    m_remote->setSelected(index);
    updateChrome();
}

// One processor and no looks: nothing of the station shows.
void StationWindow::updateChrome()
{
    const MainWindow *window = m_windows.value(current());
    if (!window)
        return;
    m_dock->setVisible(m_windows.size() > 1);
    setWindowTitle(m_windows.size() > 1 ? window->windowTitle() + QStringLiteral(" - ") + m_settings.at(current()).name
                                        : window->windowTitle());
}

void StationWindow::say(const QString &text, bool failed)
{
    if (failed)
        qCWarning(lcApp) << text;
    if (MainWindow *window = m_windows.value(current()))
        window->statusBar()->showMessage(text, failed ? 0 : LookMessageMs);
}

// The names, and the links of the processors after the first as they were
// set in their windows.
void StationWindow::saveSettings()
{
    for (int i = 0; i < m_windows.size(); ++i)
        m_settings[i].link = m_windows.at(i)->link()->linkSettings();
    if (m_windows.size() > 1 || m_settings.first().name != StationSettings::defaultName(0))
        StationSettings::write(SettingsFile::path(), m_settings);
}
