// When a window of the preset on air goes to a backup and comes back, on a
// clock the test moves: reads every two seconds as the program makes them.

#include "backupswitcher.h"
#include "manualclock.h"

#include <QSignalSpy>
#include <QtTest>

using Reason = BackupSwitcher::Reason;
using Return = BackupTable::Return;

class TestBackupSwitcher : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void lossShorterThanASecondSwitchesNothing();
    void lossConfirmedTakesTheFirstBackupWithASignal();
    void noBackupWithASignalIsToldOnce();
    void autoReturnWaitsForTheStableTime();
    void manualReturnWaitsForTheOperator();
    void anotherPresetOnAirPutsTheOldOneBack();
    void operatorsNewSourceEndsTheBackup();

private:
    // Reads every two seconds for ms, each finding present.
    void readFor(int ms, const QList<int> &present);
    // The switches asked so far, as "preset:window:from>to:reason".
    QStringList switches() const;
    void loseInputFive();

    std::unique_ptr<ManualClock> m_clock;
    std::unique_ptr<BackupSwitcher> m_switcher;
    std::unique_ptr<QSignalSpy> m_switches;
    std::unique_ptr<QSignalSpy> m_reads;
};

void TestBackupSwitcher::init()
{
    qRegisterMetaType<BackupSwitcher::Switch>();
    m_clock = std::make_unique<ManualClock>(QDateTime(QDate(2026, 5, 1), QTime(20, 0), Qt::UTC));
    m_switcher = std::make_unique<BackupSwitcher>(m_clock.get());
    m_switches = std::make_unique<QSignalSpy>(m_switcher.get(), &BackupSwitcher::switchWanted);
    m_reads = std::make_unique<QSignalSpy>(m_switcher.get(), &BackupSwitcher::readWanted);
    m_switcher->setEntries({{1, 5, {6, 7}, Return::Auto, 3}, {1, 9, {10}, Return::Manual, 3}});
    m_switcher->setOnAir(2, {{0, 5}, {1, 9}, {2, 11}});
    m_switcher->setSignals({5, 6, 7, 9, 10, 11});
}

void TestBackupSwitcher::cleanup()
{
    m_reads.reset();
    m_switches.reset();
    m_switcher.reset();
    m_clock.reset();
}

void TestBackupSwitcher::readFor(int ms, const QList<int> &present)
{
    for (int t = 0; t < ms; t += 2000) {
        m_clock->advance(2000);
        m_switcher->setSignals(present);
    }
}

QStringList TestBackupSwitcher::switches() const
{
    static const char *const Reasons[] = {"lost", "returned", "operator", "restored"};
    QStringList said;
    for (const QList<QVariant> &args : std::as_const(*m_switches)) {
        const auto change = args.first().value<BackupSwitcher::Switch>();
        said << QStringLiteral("%1:%2:%3>%4:%5")
                    .arg(change.preset)
                    .arg(change.window)
                    .arg(change.from)
                    .arg(change.to)
                    .arg(QLatin1String(Reasons[int(change.reason)]));
    }
    return said;
}

// Input 5 found dead, then again by the read asked a second later.
void TestBackupSwitcher::loseInputFive()
{
    m_switcher->setSignals({6, 7, 9, 10, 11});
    QCOMPARE(m_reads->size(), 0);
    m_clock->advance(1000);
    QCOMPARE(m_reads->size(), 1);
    m_switcher->setSignals({6, 7, 9, 10, 11});
}

// A read that finds the input dead and the next that finds it back, half
// a second later, are a glitch: no switch, no read asked after.
void TestBackupSwitcher::lossShorterThanASecondSwitchesNothing()
{
    m_switcher->setSignals({6, 7, 9, 10, 11});
    m_clock->advance(500);
    m_switcher->setSignals({5, 6, 7, 9, 10, 11});
    m_clock->advance(1000);
    QCOMPARE(m_reads->size(), 0);
    readFor(10000, {5, 6, 7, 9, 10, 11});
    QVERIFY(switches().isEmpty());
    // A read a second on that still finds it dead confirms a loss seen
    // once: the regular reads alone never switch sooner.
    m_switcher->setSignals({6, 7, 9, 10, 11});
    m_clock->advance(999);
    m_switcher->setSignals({6, 7, 9, 10, 11});
    QVERIFY(switches().isEmpty());
}

// The first backup is dead too: the second takes over, once, whatever the
// reads after say.
void TestBackupSwitcher::lossConfirmedTakesTheFirstBackupWithASignal()
{
    m_switcher->setSignals({7, 9, 10, 11});
    m_clock->advance(1000);
    QCOMPARE(m_reads->size(), 1);
    m_switcher->setSignals({7, 9, 10, 11});
    QCOMPARE(switches(), QStringList{"2:0:5>7:lost"});
    readFor(20000, {7, 9, 10, 11});
    QCOMPARE(switches(), QStringList{"2:0:5>7:lost"});
    QCOMPARE(m_switcher->onBackup().value(0).backup, 7);
    QCOMPARE(m_switcher->onBackup().value(0).main, 5);
}

void TestBackupSwitcher::noBackupWithASignalIsToldOnce()
{
    QSignalSpy told(m_switcher.get(), &BackupSwitcher::noBackup);
    m_switcher->setSignals({9, 10, 11});
    m_clock->advance(1000);
    m_switcher->setSignals({9, 10, 11});
    readFor(30000, {9, 10, 11});
    QCOMPARE(told.size(), 1);
    QCOMPARE(told.first(), (QList<QVariant>{2, 0, 5}));
    QVERIFY(switches().isEmpty());
    QCOMPARE(m_reads->size(), 1); // the loss was confirmed: nothing more to ask
    // A backup that comes up is taken at the next read.
    readFor(2000, {6, 9, 10, 11});
    QCOMPARE(switches(), QStringList{"2:0:5>6:lost"});
}

void TestBackupSwitcher::autoReturnWaitsForTheStableTime()
{
    loseInputFive();
    QCOMPARE(switches(), QStringList{"2:0:5>6:lost"});
    m_clock->advance(2000);
    m_switcher->setSignals({5, 6, 7, 9, 10, 11}); // back; stable for 3 s from here
    m_clock->advance(2000);
    m_switcher->setSignals({5, 6, 7, 9, 10, 11});
    m_clock->advance(999);
    QCOMPARE(switches().size(), 1);
    m_clock->advance(1);
    QCOMPARE(switches(), (QStringList{"2:0:5>6:lost", "2:0:6>5:returned"}));
    QVERIFY(m_switcher->onBackup().isEmpty());
}

// A main that flickers starts its stable time anew; a manual one waits for
// the operator however long it has been back.
void TestBackupSwitcher::manualReturnWaitsForTheOperator()
{
    m_switcher->setSignals({5, 6, 7, 10, 11});
    m_clock->advance(1000);
    m_switcher->setSignals({5, 6, 7, 10, 11});
    QCOMPARE(switches(), QStringList{"2:1:9>10:lost"});
    readFor(60000, {5, 6, 7, 9, 10, 11});
    QCOMPARE(switches().size(), 1);
    QVERIFY(!m_switcher->returnToMain(0)); // not on a backup
    QVERIFY(m_switcher->returnToMain(1));
    QCOMPARE(switches().last(), QStringLiteral("2:1:10>9:operator"));
}

void TestBackupSwitcher::anotherPresetOnAirPutsTheOldOneBack()
{
    loseInputFive();
    m_switcher->setOnAir(4, {{3, 5}});
    QCOMPARE(switches(), (QStringList{"2:0:5>6:lost", "2:0:6>5:restored"}));
    QVERIFY(m_switcher->onBackup().isEmpty());
    // The new preset's window is watched from its own source.
    m_switcher->setSignals({6, 7});
    m_clock->advance(1000);
    m_switcher->setSignals({6, 7});
    QCOMPARE(switches().last(), QStringLiteral("4:3:5>6:lost"));
}

// The operator sent the window another input: that is its main now, and
// nothing is switched back.
void TestBackupSwitcher::operatorsNewSourceEndsTheBackup()
{
    loseInputFive();
    m_switcher->setOnAir(2, {{0, 7}, {1, 9}, {2, 11}});
    QCOMPARE(switches().size(), 1);
    QVERIFY(m_switcher->onBackup().isEmpty());
}

QTEST_GUILESS_MAIN(TestBackupSwitcher)
#include "tst_backupswitcher.moc"
