// The station: three simulated processors (the first on a serial line, two
// over TCP) in one window. Connect links them all, a look reaches each
// with its own preset and a silent one does not hold the others back, and
// each processor's files stay its own across a restart; a settings file of
// one processor gives the window it always gave.

#include <appdirectory.h>
#include <devicesimulator.h>
#include <journal.h>
#include <journalrecorder.h>
#include <looksbar.h>
#include <lookstore.h>
#include <lookrecall.h>
#include <mainmenus.h>
#include <mainwindow.h>
#include <onairmodel.h>
#include <operatoractions.h>
#include <settingsfile.h>
#include <simulatorset.h>
#include <singleton_serialport.h>
#include <stationsettings.h>
#include <stationwindow.h>
#include <remotesettings.h>
#include <windowdriver.h>

#include "framebytes.h"
#include "linkedsimulator.h"
#include "ptyskip.h"
#include "remoteclients.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpServer>
#include <QListWidget>
#include <QMenu>
#include <QTemporaryDir>
#include <QToolBar>
#include <QtTest>

#include <memory>

namespace {

constexpr int Processors = 3;
constexpr int LinkMs = 60000;

} // namespace

class TestStationWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void oneProcessorLooksAsBefore();
    void lookReachesEachProcessor();
    void filesStayApartAcrossARestart();
    void remoteAddressesEachProcessor();

private:
    void writeStation();
    void start();
    bool linkAll();
    bool recallOn(int processor, int preset);
    // What became of each processor, once the look has finished.
    QList<LookRecall::Outcome> recallLook(int look);
    // Each request's answer, by id, from one WebSocket client.
    QHash<int, QJsonObject> ask(const QStringList &requests) const;
    int recallsOn(int processor) const;
    DeviceSimulator &sim(int processor) const { return m_sims->processor(processor + 1); }

    QTemporaryDir m_dir;
    std::unique_ptr<SimulatorSet> m_sims;
    std::unique_ptr<StationWindow> m_station;
    WindowDriver m_driver; // answers the dialogs a connection may open
    quint16 m_wsPort = 0;
};

namespace {

quint16 freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return probe.serverPort();
}

} // namespace

void TestStationWindow::initTestCase()
{
    SKIP_WITHOUT_PTY();
    AppDirectory::setPath(m_dir.path());
    m_sims = std::make_unique<SimulatorSet>(Processors);
    QString error;
    QVERIFY2(m_sims->listenTcp(0, &error), qPrintable(error));
    QVERIFY2(m_sims->openPty(m_dir.filePath("ttyRZ"), &error), qPrintable(error));
}

// The settings file of the first processor, as a station of one wrote it,
// and the groups of the two others.
void TestStationWindow::writeStation()
{
    QFile::remove(AppDirectory::filePath(LookStore::fileName()));
    SettingsFile::Contents contents;
    contents.linkSettings = LinkedSimulator::serialSettings(sim(0).ptyPath());
    contents.language = 1;
    contents.checkSum = QByteArray(8, 'h');
    contents.defaults = false;
    QVERIFY(SettingsFile::write(SettingsFile::path(), contents));
    QList<StationSettings::Processor> processors{{"Main wall", contents.linkSettings}};
    for (int i = 1; i < Processors; ++i)
        processors.append({QStringLiteral("Side %1").arg(i), LinkedSimulator::tcpSettings(sim(i).tcpPort())});
    QVERIFY(StationSettings::write(SettingsFile::path(), processors));
}

// The windows read their files as the event loop starts, as at a start of
// the program.
void TestStationWindow::start()
{
    m_station = std::make_unique<StationWindow>();
    m_station->show();
    QCoreApplication::processEvents();
}

bool TestStationWindow::linkAll()
{
    m_station->processor(0)->menus().connect->trigger();
    return WindowDriver::waitFor(
        [this] {
            for (int i = 0; i < m_station->processorCount(); ++i) {
                if (!m_station->processor(i)->link()->state()->isReady())
                    return false;
            }
            return true;
        },
        LinkMs);
}

bool TestStationWindow::recallOn(int processor, int preset)
{
    MainWindow *window = m_station->processor(processor);
    window->actions()->recall(preset, RemoteActions::ByOperator);
    return WindowDriver::waitFor([window, preset] { return window->onAir()->onAir() == preset; }, LinkMs);
}

QList<LookRecall::Outcome> TestStationWindow::recallLook(int look)
{
    QList<LookRecall::Outcome> outcomes;
    LookRecall *recall = m_station->looks()->recall(look);
    recall->whenFinished(this, [&outcomes, recall] { outcomes = recall->outcomes(); });
    WindowDriver::waitFor([&outcomes] { return !outcomes.isEmpty(); }, LinkMs);
    return outcomes;
}

void TestStationWindow::oneProcessorLooksAsBefore()
{
    SettingsFile::Contents contents;
    contents.linkSettings = LinkedSimulator::tcpSettings(sim(0).tcpPort());
    contents.defaults = false;
    QVERIFY(SettingsFile::write(SettingsFile::path(), contents));
    start();
    QCOMPARE(m_station->processorCount(), 1);
    QVERIFY(!m_station->findChild<QDockWidget *>("processorsDock")->isVisible());
    QVERIFY(!m_station->findChild<QToolBar *>("looksBar")->isVisible());
    QCOMPARE(m_station->windowTitle(), m_station->processor(0)->windowTitle());
    m_station.reset();
    QVERIFY(!QSettings(SettingsFile::path(), QSettings::IniFormat).childGroups().contains("processor1"));
}

// Each processor on its own preset is kept as a look; recalled after
// others, it puts each processor back on its own. The third device then
// stops answering recalls: the two others still switch, and the look says
// which one failed.
void TestStationWindow::lookReachesEachProcessor()
{
    writeStation();
    start();
    QCOMPARE(m_station->processorCount(), Processors);
    // In the language of the settings file from the start, as the windows.
    QCOMPARE(m_station->findChild<QDockWidget *>("processorsDock")->windowTitle(), QString("Processors"));
    QCOMPARE(m_station->looks()->menu()->title(), QString("Looks"));
    QVERIFY(linkAll());
    const int look[Processors] = {3, 7, 12};
    for (int i = 0; i < Processors; ++i)
        QVERIFY(recallOn(i, look[i]));
    QCOMPARE(m_station->looks()->store("Opening"), QString());
    for (int i = 0; i < Processors; ++i)
        QVERIFY(recallOn(i, 1));

    QVERIFY(!recallLook(0).isEmpty());
    for (int i = 0; i < Processors; ++i) {
        QCOMPARE(sim(i).model().currentPreset, look[i]);
        QCOMPARE(m_station->processor(i)->onAir()->onAir(), look[i]);
    }
    // Unnamed presets are still told by their number.
    const auto *dock = m_station->findChild<QDockWidget *>("processorsDock")->findChild<QListWidget *>();
    QVERIFY(dock->item(0)->text().endsWith("On air: M4"));

    for (int i = 0; i < Processors; ++i)
        QVERIFY(recallOn(i, 1));
    FaultOptions silent;
    silent.muteCode = 0x49;
    m_sims->setFaults(silent, {3});
    const QList<LookRecall::Outcome> outcomes = recallLook(0);
    QCOMPARE(outcomes.size(), Processors);
    QCOMPARE(outcomes.at(0).result, LookRecall::Result::Confirmed);
    QCOMPARE(outcomes.at(1).result, LookRecall::Result::Confirmed);
    QVERIFY(outcomes.at(2).result != LookRecall::Result::Confirmed);
    QCOMPARE(sim(0).model().currentPreset, look[0]);
    QCOMPARE(sim(1).model().currentPreset, look[1]);
    m_sims->setFaults({});
    m_station.reset();
}

// Each processor's data file is in its own folder and holds its own
// device's wall; started again with the tags kept, each window trusts its
// own file and shows its own wall.
void TestStationWindow::filesStayApartAcrossARestart()
{
    writeStation();
    start();
    QVERIFY(linkAll());
    m_station.reset();
    const QString first = m_dir.filePath("MyConfigure.pd");
    const QString second = m_dir.filePath("processor2/MyConfigure.pd");
    QVERIFY(QFile::exists(first));
    QVERIFY(QFile::exists(second));

    start();
    QVERIFY(linkAll());
    for (int i = 0; i < Processors; ++i) {
        const DeviceData &record = m_station->processor(i)->link()->dm_data;
        QCOMPARE(record.cols(), int(sim(i).model().wall.cols));
        QCOMPARE(record.rows(), int(sim(i).model().wall.rows));
    }
    QVERIFY(m_station->processor(1)->link()->dm_data.configPath.startsWith(m_dir.filePath("processor2")));
    m_station.reset();
}

QHash<int, QJsonObject> TestStationWindow::ask(const QStringList &requests) const
{
    const std::unique_ptr<QProcess> client =
        RemoteClients::start(QStringList{QStringLiteral("ws://127.0.0.1:") + QString::number(m_wsPort)
                                         + QStringLiteral("/?name=Stage%20desk%01")}
                             + requests);
    QHash<int, QJsonObject> answers;
    const QStringList lines = RemoteClients::finish(client.get());
    for (const QString &line : lines) {
        const QJsonObject answer = QJsonDocument::fromJson(line.toUtf8()).object();
        answers.insert(answer.value("id").toInt(), answer);
    }
    return answers;
}

int TestStationWindow::recallsOn(int processor) const
{
    int recalls = 0;
    const QByteArrayList requests = FrameBytes::operatorRequests(sim(processor).requests());
    for (const QByteArray &frame : requests)
        recalls += FrameBytes::heads({frame}, 1).first() == QLatin1String("49") ? 1 : 0;
    return recalls;
}

// One remote control for the station: a processor named (whatever the
// case) or numbered gets the recall, none named the one shown; a
// processor or a look that is not there is refused and reaches no device.
// A look recalled with the third processor silent is answered once the
// two others confirmed and the third's wait ended, each one said.
void TestStationWindow::remoteAddressesEachProcessor()
{
    if (RemoteClients::python().isEmpty())
        QSKIP("no Python with websockets");
    using RemoteClients::request;
    writeStation();
    RemoteSettings remote;
    remote.enabled = true;
    remote.wsPort = m_wsPort = freePort();
    remote.oscPort = freePort();
    QVERIFY(RemoteSettings::write(SettingsFile::path(), remote));
    start();
    QVERIFY(linkAll());
    QCOMPARE(m_station->looks()->keep({"Opening", {{0, 3}, {1, 7}, {2, 12}}}), QString());
    m_station->choose(1);

    QHash<int, QJsonObject> answers = ask({request(1, "preset.recall", R"({"preset":5,"processor":"SIDE 2"})"),
                                           request(2, "preset.recall", R"({"preset":6,"processor":1})"),
                                           request(3, "preset.recall", R"({"preset":4})")});
    for (int id = 1; id <= 3; ++id)
        QVERIFY2(answers.value(id).contains("result"), qPrintable(QJsonDocument(answers.value(id)).toJson()));
    QCOMPARE(sim(2).model().currentPreset, 4);
    QCOMPARE(sim(0).model().currentPreset, 5);
    QCOMPARE(sim(1).model().currentPreset, 3);

    int before[Processors];
    for (int i = 0; i < Processors; ++i)
        before[i] = recallsOn(i);
    answers = ask({request(4, "preset.recall", R"({"preset":2,"processor":"Side 9"})"),
                   request(5, "preset.recall", R"({"preset":2,"processor":4})"),
                   request(6, "look.recall", R"({"look":"Closing"})"),
                   request(7, "look.recall", R"({"look":2})")});
    const QStringList named{"\"Side 9\"", "4", "\"Closing\"", "2"};
    for (int id = 4; id <= 7; ++id) {
        const QJsonObject error = answers.value(id).value("error").toObject();
        QCOMPARE(error.value("code").toInt(), -32602);
        QVERIFY2(error.value("message").toString().contains(named.at(id - 4)), qPrintable(error.value("message").toString()));
    }
    for (int i = 0; i < Processors; ++i)
        QCOMPARE(recallsOn(i), before[i]);

    FaultOptions silent;
    silent.muteCode = 0x49;
    m_sims->setFaults(silent, {3});
    answers = ask({request(8, "look.recall", R"({"look":"opening"})")});
    const QJsonArray results = answers.value(8).value("result").toObject().value("results").toArray();
    QCOMPARE(results.size(), Processors);
    QCOMPARE(results.at(0).toObject(), QJsonObject({{"processor", 1}, {"preset", 4}, {"result", "confirmed"}}));
    QCOMPARE(results.at(1).toObject(), QJsonObject({{"processor", 2}, {"preset", 8}, {"result", "confirmed"}}));
    QVERIFY(results.at(2).toObject().value("result").toString() != QLatin1String("confirmed"));
    m_sims->setFaults({});

    // The journal names the client: its address and the printable part of
    // the name it gave.
    Journal *journal = m_station->journal()->journal();
    QVERIFY(journal->flush());
    JournalQuery query;
    query.who = JournalEntry::Who::Remote;
    QStringList asked;
    for (const JournalEntry &entry : journal->query(query))
        asked.prepend(entry.what + QLatin1Char(' ') + entry.whoDetail);
    QCOMPARE(asked, QStringList({"recall M5 127.0.0.1 (Stage desk)", "recall M6 127.0.0.1 (Stage desk)",
                                 "recall M4 127.0.0.1 (Stage desk)", "look Opening 127.0.0.1 (Stage desk)"}));
    m_station.reset();
}

QTEST_MAIN(TestStationWindow)
#include "tst_stationwindow.moc"
