// Takes the pictures of the guide's sections on a station and its show:
// three simulated processors, the first on a serial line and two over TCP,
// in one window. Two looks are stored and one recalled, all on air; then
// the third processor stops answering recalls and the other look reaches
// only two. Then a sequence of the two looks plays, started by hand, with
// a schedule to start it each weekday, and the journal tells of it all.
// Usage: stationshot <folder> en|zh

#include <appdirectory.h>
#include <devicesimulator.h>
#include <dialog_journal.h>
#include <journalrecorder.h>
#include <looksbar.h>
#include <mainmenus.h>
#include <mainwindow.h>
#include <onairmodel.h>
#include <operatoractions.h>
#include <sequencedeck.h>
#include <settingsfile.h>
#include <simulatorset.h>
#include <singleton_serialport.h>
#include <stationsettings.h>
#include <stationshow.h>
#include <stationwindow.h>
#include <windowdriver.h>

#include "linkedsimulator.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QTemporaryDir>
#include <QToolBar>

namespace {

constexpr int Processors = 3;
constexpr int LinkMs = 60000;
constexpr int RecallCode = 0x49;

struct Text
{
    QStringList names;
    QString opening;
    QString interval;
    QString walkIn;
    QString doors;
};

Text textIn(bool english)
{
    if (english)
        return {{"Main wall", "Side wall", "Stage floor"}, "Opening", "Interval", "Walk-in", "Doors"};
    return {{"主屏", "侧屏", "舞台地屏"}, "开场", "幕间", "入场", "开门"};
}

bool writeStation(const SimulatorSet &sims, const QStringList &names, bool english)
{
    SettingsFile::Contents contents;
    contents.linkSettings = LinkedSimulator::serialSettings(sims.processor(1).ptyPath());
    contents.language = english ? 1 : 0;
    contents.checkSum = QByteArray(8, 'h');
    contents.defaults = false;
    QList<StationSettings::Processor> processors{{names.at(0), contents.linkSettings}};
    for (int number = 2; number <= Processors; ++number)
        processors.append({names.at(number - 1), LinkedSimulator::tcpSettings(sims.processor(number).tcpPort())});
    return SettingsFile::write(SettingsFile::path(), contents)
           && StationSettings::write(SettingsFile::path(), processors);
}

// Until no processor has a request still to answer, a few polls in a row.
bool settle(const StationWindow &station)
{
    int quietPolls = 0;
    return WindowDriver::waitFor(
        [&] {
            for (int i = 0; i < station.processorCount(); ++i) {
                if (station.processor(i)->link()->queuedFrames() != 0) {
                    quietPolls = 0;
                    return false;
                }
            }
            return ++quietPolls >= 10;
        },
        LinkMs);
}

bool linkAll(StationWindow &station)
{
    station.processor(0)->menus().connect->trigger();
    return WindowDriver::waitFor(
        [&] {
            for (int i = 0; i < station.processorCount(); ++i) {
                if (!station.processor(i)->link()->state()->isReady())
                    return false;
            }
            return true;
        },
        LinkMs);
}

// Each processor to its preset, then those presets kept as a look.
bool storeLook(StationWindow &station, const QString &name, const QList<int> &presets)
{
    for (int i = 0; i < Processors; ++i) {
        MainWindow *window = station.processor(i);
        const int preset = presets.at(i);
        window->actions()->recall(preset, RemoteActions::ByOperator);
        if (!WindowDriver::waitFor([window, preset] { return window->onAir()->onAir() == preset; }, LinkMs))
            return false;
    }
    return station.looks()->store(name).isEmpty();
}

// As the operator recalls it, from its button: the status bar tells of it.
bool recallLook(StationWindow &station, int look)
{
    bool said = false;
    const QMetaObject::Connection told =
        QObject::connect(station.looks(), &LooksBar::said, [&said] { said = true; });
    station.findChild<QToolBar *>(QStringLiteral("looksBar"))->actions().at(look)->trigger();
    const bool done = WindowDriver::waitFor([&said] { return said; }, LinkMs);
    QObject::disconnect(told);
    return done && settle(station);
}

// The two looks in turn, a minute and half a minute, started now and
// each weekday at 18:30.
bool playShow(StationWindow &station, const Text &text)
{
    Sequence walkIn;
    walkIn.name = text.walkIn;
    walkIn.loop = true;
    walkIn.steps = {SequenceStep::recallLook(text.opening, 60000), SequenceStep::recallLook(text.interval, 30000)};
    Schedule doors;
    doors.name = text.doors;
    doors.time = QTime(18, 30);
    doors.days = 0x1f;
    doors.action = Schedule::Action::StartSequence;
    doors.target = walkIn.name;
    StationShow *show = station.show();
    if (!show->setSequences({walkIn}).isEmpty() || !show->setSchedules({doors}, {}).isEmpty())
        return false;
    station.findChild<QDockWidget *>(QStringLiteral("sequencesDock"))->show();
    return show->deck()->start(walkIn.name).isEmpty() && settle(station);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    const QDir folder(args.at(1));
    const QString &language = args.at(2);
    const bool english = language == QLatin1String("en");
    const auto shot = [&](const char *name) { return folder.filePath(QStringLiteral("%1-%2.png").arg(name, language)); };
    const Text text = textIn(english);

    QTemporaryDir files;
    AppDirectory::setPath(files.path());
    SimulatorSet sims(Processors);
    QString error;
    if (!sims.listenTcp(0, &error) || !sims.openPty(files.filePath(QStringLiteral("ttyRZ")), &error)
        || !writeStation(sims, text.names, english)) {
        qWarning("stationshot: %s", qPrintable(error));
        return 1;
    }

    WindowDriver driver; // answers the dialogs a connection may open
    StationWindow station;
    station.resize(1280, 720);
    station.show();
    QCoreApplication::processEvents();
    if (!linkAll(station) || !storeLook(station, text.opening, {0, 0, 1})
        || !storeLook(station, text.interval, {1, 1, 0}))
        return 1;
    if (!recallLook(station, 0) || !station.grab().save(shot("station")))
        return 1;

    FaultOptions silent;
    silent.muteCode = RecallCode;
    sims.setFaults(silent, {Processors});
    if (!recallLook(station, 1) || !station.grab().save(shot("station-failed")))
        return 1;
    sims.setFaults({});

    if (!playShow(station, text) || !station.grab().save(shot("show")))
        return 1;
    // As the Show menu opens it, without the driver that answers dialogs.
    Dialog_Journal journal(station.journal()->journal(), text.names, english);
    journal.resize(1000, 420);
    journal.show();
    QCoreApplication::processEvents();
    return journal.grab().save(shot("journal")) ? 0 : 1;
}
