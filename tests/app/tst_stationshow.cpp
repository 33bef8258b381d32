// The show running itself in a station of two simulated processors (one
// on a serial line, one over TCP), on a clock the test drives: a sequence's
// recalls reach the devices in order and when their dwells end, a failed
// step stops or skips the sequence as it is set, a recall by hand pauses
// it, a preset edited blind is never recalled, a schedule fires its look,
// and the journal tells who did each.

#include <appdirectory.h>
#include <connectionflow.h>
#include <devicesimulator.h>
#include <journal.h>
#include <journalrecorder.h>
#include <looksbar.h>
#include <mainmenus.h>
#include <mainwindow.h>
#include <manualclock.h>
#include <offairactions.h>
#include <onairmodel.h>
#include <operatoractions.h>
#include <sequencedeck.h>
#include <settingsfile.h>
#include <showfile.h>
#include <simulatorset.h>
#include <singleton_serialport.h>
#include <stationsettings.h>
#include <stationshow.h>
#include <stationwindow.h>
#include <windowdriver.h>

#include "linkedsimulator.h"
#include "ptyskip.h"

#include <QAction>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

constexpr int Processors = 2;
constexpr int LinkMs = 60000;
const QDateTime Start(QDate(2026, 12, 7), QTime(9, 0), Qt::UTC);

Sequence walkIn(Sequence::OnFailure onFailure)
{
    Sequence sequence;
    sequence.name = QStringLiteral("Walk-in");
    sequence.onFailure = onFailure;
    sequence.steps = {SequenceStep::recall(0, 2, 10000), SequenceStep::recall(1, 5, 20000),
                      SequenceStep::recall(0, 7, 5000)};
    return sequence;
}

} // namespace

class TestStationShow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void stepsArriveInOrderWhenTheirDwellsEnd();
    void failedStepStopsOrSkips();
    void handRecallPausesAndBlindWorkIsNeverRecalled();
    void scheduleFiresItsLookAndTheJournalSaysWho();
    void importAndInitialisationAreOneEntryEach();

private:
    bool linkAll();
    // The presets processor's device was asked to recall since clearRequests.
    QList<int> recalls(int processor) const;
    bool waitForRecalls(int processor, int count) const;
    SequenceDeck *deck() const { return m_station->show()->deck(); }
    DeviceSimulator &sim(int processor) const { return m_sims->processor(processor + 1); }
    QList<JournalEntry> journal(JournalEntry::Who who) const;

    QTemporaryDir m_dir;
    std::unique_ptr<SimulatorSet> m_sims;
    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<StationWindow> m_station;
    WindowDriver m_driver;
};

void TestStationShow::initTestCase()
{
    SKIP_WITHOUT_PTY();
    AppDirectory::setPath(m_dir.path());
    m_sims = std::make_unique<SimulatorSet>(Processors);
    QString error;
    QVERIFY2(m_sims->listenTcp(0, &error), qPrintable(error));
    QVERIFY2(m_sims->openPty(m_dir.filePath("ttyRZ"), &error), qPrintable(error));
    SettingsFile::Contents contents;
    contents.linkSettings = LinkedSimulator::serialSettings(sim(0).ptyPath());
    contents.language = 1;
    contents.defaults = false;
    QVERIFY(SettingsFile::write(SettingsFile::path(), contents));
    QVERIFY(StationSettings::write(SettingsFile::path(),
                                   {{"Main wall", contents.linkSettings},
                                    {"Side", LinkedSimulator::tcpSettings(sim(1).tcpPort())}}));
}

void TestStationShow::init()
{
    m_clock = std::make_unique<ManualClock>(Start);
    m_station = std::make_unique<StationWindow>(m_clock.get());
    m_station->show();
    QCoreApplication::processEvents();
    QVERIFY(linkAll());
    for (int i = 0; i < Processors; ++i)
        sim(i).clearRequests();
}

void TestStationShow::cleanup()
{
    m_station.reset();
    m_clock.reset();
    QFile::remove(AppDirectory::filePath(ShowFile::fileName()));
}

bool TestStationShow::linkAll()
{
    m_station->processor(0)->menus().connect->trigger();
    return WindowDriver::waitFor(
        [this] {
            for (int i = 0; i < Processors; ++i) {
                if (!m_station->processor(i)->link()->state()->isReady())
                    return false;
            }
            return true;
        },
        LinkMs);
}

QList<int> TestStationShow::recalls(int processor) const
{
    QList<int> presets;
    for (const QByteArray &request : sim(processor).requests()) {
        if (quint8(request.at(8)) == 0x49)
            presets << quint8(request.at(9));
    }
    return presets;
}

bool TestStationShow::waitForRecalls(int processor, int count) const
{
    return WindowDriver::waitFor(
        [this, processor, count] {
            return recalls(processor).size() >= count && sim(processor).model().currentPreset == recalls(processor).last()
                && !m_station->processor(processor)->actions()->busy();
        },
        LinkMs);
}

QList<JournalEntry> TestStationShow::journal(JournalEntry::Who who) const
{
    Journal *journal = m_station->journal()->journal();
    journal->flush();
    JournalQuery query;
    query.who = who;
    return journal->query(query);
}

// Each step goes when the one before has dwelt its time on the clock, not
// a moment sooner; the journal says the sequence did it.
void TestStationShow::stepsArriveInOrderWhenTheirDwellsEnd()
{
    QCOMPARE(m_station->show()->storeSequence(walkIn(Sequence::OnFailure::Stop)), QString());
    QCOMPARE(deck()->start("Walk-in"), QString());
    QVERIFY(waitForRecalls(0, 1));
    QCOMPARE(recalls(0), QList<int>{2});
    m_clock->advance(9999);
    QTest::qWait(200);
    QVERIFY(recalls(1).isEmpty());
    m_clock->advance(1);
    QVERIFY(waitForRecalls(1, 1));
    QCOMPARE(recalls(1), QList<int>{5});
    m_clock->advance(19999);
    QTest::qWait(200);
    QCOMPARE(recalls(0).size(), 1);
    m_clock->advance(1);
    QVERIFY(waitForRecalls(0, 2));
    QCOMPARE(recalls(0), QList<int>({2, 7}));
    m_clock->advance(5000);
    QTRY_COMPARE(deck()->status("Walk-in")->state, SequencePlayer::State::Stopped);
    const QList<JournalEntry> steps = journal(JournalEntry::Who::Sequence);
    QCOMPARE(steps.size(), 3);
    for (const JournalEntry &entry : steps) {
        QCOMPARE(entry.whoDetail, QString("Walk-in"));
        QCOMPARE(entry.result, JournalEntry::Result::Confirmed);
    }
    QCOMPARE(steps.first().processorName, QString("Main wall")); // newest first
    // Kept in the show file, for the next start.
    QCOMPARE(ShowFile::read(AppDirectory::filePath(ShowFile::fileName())).show.sequences.size(), 1);
}

// The side processor is unlinked: its step fails at once. Set to stop,
// the sequence ends there; set to skip, the third step follows.
void TestStationShow::failedStepStopsOrSkips()
{
    MainWindow *side = m_station->processor(1);
    side->connection()->toggle();
    QVERIFY(WindowDriver::waitFor([side] { return !side->link()->isConnected(); }, LinkMs));
    QCOMPARE(m_station->show()->storeSequence(walkIn(Sequence::OnFailure::Stop)), QString());
    QCOMPARE(deck()->start("Walk-in"), QString());
    QVERIFY(waitForRecalls(0, 1));
    m_clock->advance(10000);
    QTRY_COMPARE(deck()->status("Walk-in")->state, SequencePlayer::State::Stopped);
    QCOMPARE(recalls(0), QList<int>{2});

    QCOMPARE(m_station->show()->storeSequence(walkIn(Sequence::OnFailure::Skip)), QString());
    QCOMPARE(deck()->start("Walk-in"), QString());
    m_clock->advance(10000);
    QVERIFY(waitForRecalls(0, 3));
    QCOMPARE(recalls(0), QList<int>({2, 2, 7}));
    QVERIFY(sim(1).requests().isEmpty());
}

// The operator recalls on the main wall while the sequence plays: it
// pauses there, with the time left of its dwell kept. Then the operator
// edits M8 blind on the main wall: the sequence's step recalling it is
// refused, and the device never sees it.
void TestStationShow::handRecallPausesAndBlindWorkIsNeverRecalled()
{
    QCOMPARE(m_station->show()->storeSequence(walkIn(Sequence::OnFailure::Stop)), QString());
    QCOMPARE(deck()->start("Walk-in"), QString());
    QVERIFY(waitForRecalls(0, 1));
    m_clock->advance(4000);
    m_station->processor(0)->actions()->recall(9, RemoteActions::ByOperator);
    QTRY_COMPARE(deck()->status("Walk-in")->state, SequencePlayer::State::Paused);
    QCOMPARE(deck()->status("Walk-in")->timeLeftMs, 6000);
    QCOMPARE(deck()->resume("Walk-in"), QString());
    m_clock->advance(6000);
    QVERIFY(waitForRecalls(1, 1));

    MainWindow *main = m_station->processor(0);
    main->menus().blind->trigger();
    QVERIFY(main->onAir()->isBlind());
    main->actions()->presetChosen(7);
    m_clock->advance(20000);
    QTRY_COMPARE(deck()->status("Walk-in")->state, SequencePlayer::State::Stopped);
    QVERIFY(!recalls(0).contains(7));
}

// A schedule at 09:30 recalls the look; the journal says the schedule
// did it, by its name, and that the device confirmed.
void TestStationShow::scheduleFiresItsLookAndTheJournalSaysWho()
{
    QCOMPARE(m_station->looks()->keep({"Opening", {{0, 3}, {1, 11}}}), QString());
    Schedule doors;
    doors.name = QStringLiteral("Doors");
    doors.time = QTime(9, 30);
    doors.days = Schedule::EveryDay;
    doors.action = Schedule::Action::RecallLook;
    doors.target = QStringLiteral("Opening");
    ShowFile::Settings settings;
    settings.timeZone = "UTC";
    QCOMPARE(m_station->show()->setSchedules({doors}, settings), QString());
    m_clock->advance(qint64(29) * 60 * 1000);
    QTest::qWait(200);
    QVERIFY(recalls(0).isEmpty());
    m_clock->advance(60000);
    QVERIFY(waitForRecalls(0, 1));
    QVERIFY(waitForRecalls(1, 1));
    QCOMPARE(recalls(0), QList<int>{3});
    QCOMPARE(recalls(1), QList<int>{11});
    QList<JournalEntry> fired;
    QTRY_VERIFY((fired = journal(JournalEntry::Who::Schedule)).size() == 1
                && fired.first().result == JournalEntry::Result::Confirmed);
    QCOMPARE(fired.first().whoDetail, QString("Doors"));
    QCOMPARE(fired.first().kind, QString("look"));
}

// An initialisation and an import rewrite the whole device: one entry
// each, settled when the device has taken it, none per preset written.
void TestStationShow::importAndInitialisationAreOneEntryEach()
{
    MainWindow *main = m_station->processor(1);
    const auto run = [main](const char *action) {
        main->findChild<QAction *>(QLatin1String(action))->trigger();
        return WindowDriver::waitFor([main] { return !main->actions()->busy(); }, LinkMs);
    };
    m_driver.fileName = m_dir.filePath(QStringLiteral("side.pd"));
    QVERIFY(run("actionExport"));
    QVERIFY(run("actionInit"));
    QVERIFY(run("actionImport"));
    QStringList said;
    QTRY_VERIFY_WITH_TIMEOUT(
        [&] {
            said.clear();
            for (const JournalEntry &entry : journal(JournalEntry::Who::Operator))
                if (entry.processor == 2)
                        said << QStringLiteral("%1 %2: %3 %4").arg(entry.processorName, entry.kind, entry.what,
                                                               JournalEntry::key(entry.result));
            return !said.isEmpty() && !said.first().endsWith(QLatin1String("pending"));
        }(),
        LinkMs);
    QCOMPARE(said, QStringList({"Side import: import side.pd confirmed", "Side initialise: factory settings confirmed"}));
}

QTEST_MAIN(TestStationShow)
#include "tst_stationshow.moc"
