// The host's presets across a restart of the program: what was read of
// them, their marks, a data file that cannot be saved and a folder another
// copy of the program holds.

#include "mainwindowcase.h"

#include <appdirectory.h>
#include <devicedata.h>
#include <folderclaim.h>
#include <framebytes.h>
#include <linkedsimulator.h>
#include <settingsfile.h>
#include <singleton_serialport.h>

#include <QDir>
#include <QtTest>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPresetStore : public MainWindowCase
{
    Q_OBJECT

private slots:
    void readPresetsVerifyTheSameAfterARestart();
    void differencesLeftStandingOutliveARestart();
    void failedSaveIsSaidAndKeepsTheTag();
    void folderOfAnotherCopyIsLeftAsItWas();

private:
    // Closes the program and opens it again as a new process would find
    // it; the device's line of the last session is gone.
    void restart(LinkedSimulator &sim);
    QString dataFile() const { return m_dir->filePath(QStringLiteral("MyConfigure.pd")); }
};

void TestPresetStore::restart(LinkedSimulator &sim)
{
    m_driver.close();
    sim.simulator().hangUp();
    QVERIFY(m_driver.open());
    m_driver.messages.clear();
}

// The device places the first window of its first preset second among
// the windows of its two screens, where the host's own layout would place
// it first: only the blocks as read tell that nothing changed.
void TestPresetStore::readPresetsVerifyTheSameAfterARestart()
{
    LinkedSimulator sim;
    constexpr int CellsOfFirstTwoScreens = 4;
    sim.model().presets[0].windows[CellsOfFirstTwoScreens] = char(0x22);
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    m_driver.trigger("actionVerify");
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.verified.value(0).value(0), QStringLiteral("16 of 16 presets verified"));

    restart(sim);
    const int before = int(FrameBytes::operatorRequests(sim.requests()).size());
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(FrameBytes::heads(FrameBytes::operatorRequests(sim.requests()).mid(before)), FrameBytes::connectionRead(false));
    m_driver.trigger("actionVerify");
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.verified.value(1).value(0), QStringLiteral("16 of 16 presets verified"));
    QCOMPARE(markOf(0), QStringLiteral("Confirmed on the device"));
}

// A preset changed on the device behind the host's back, the verify's
// choice closed: it stays red through a restart, until a verify finds it
// the same again.
void TestPresetStore::differencesLeftStandingOutliveARestart()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    const Preset asRead = sim.model().presets[1];
    sim.model().presets[1].clearWindows();
    m_driver.trigger("actionVerify");
    QVERIFY(m_driver.settle());
    QCOMPARE(m_driver.verified.value(0).value(0), QStringLiteral("15 of 16 presets verified"));
    QCOMPARE(markOf(1), QStringLiteral("Differs on the device"));

    restart(sim);
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(markOf(1), QStringLiteral("Differs on the device"));
    QCOMPARE(markOf(0), QStringLiteral("Not checked against the device"));

    sim.model().presets[1] = asRead;
    m_driver.trigger("actionVerify");
    QVERIFY(m_driver.settle());
    QCOMPARE(markOf(1), QStringLiteral("Confirmed on the device"));
    m_driver.close();
    QVERIFY(SettingsFile::differingPresets(SettingsFile::path()).isEmpty());
}

// The device's data change while the program is closed; the program reads
// them, but cannot save them at exit. The operator is told, and the tag
// kept is the one of the file still there: the next connection reads the
// device again instead of trusting that older file.
void TestPresetStore::failedSaveIsSaidAndKeepsTheTag()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    m_driver.close();
    const QString older = m_dir->filePath(QStringLiteral("older.pd"));
    QVERIFY(QFile::copy(dataFile(), older));
    const QByteArray tag = SettingsFile::read(SettingsFile::path()).checkSum;

    sim.model().tag = QByteArray(8, 'e');
    sim.model().presets[1].clearWindows();
    restart(sim);
    QVERIFY(m_driver.connectDevice());
    QVERIFY(QFile::remove(dataFile()));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("MyConfigure.pd")));
    m_driver.close();
    QCOMPARE(m_driver.messages, QStringList({"The file could not be saved"}));
    QCOMPARE(SettingsFile::read(SettingsFile::path()).checkSum, tag);

    QVERIFY(QDir(m_dir->path()).rmdir(QStringLiteral("MyConfigure.pd")));
    QVERIFY(QFile::rename(older, dataFile()));
    restart(sim);
    const int before = int(FrameBytes::operatorRequests(sim.requests()).size());
    QVERIFY(m_driver.connectDevice());
    QCOMPARE(FrameBytes::heads(FrameBytes::operatorRequests(sim.requests()).mid(before)), FrameBytes::connectionRead(true));
    QVERIFY(m_driver.messages.isEmpty());
}

// The second copy reads the folder, works with the device, and at its end
// leaves the files as the first copy has them: no data, reads, names,
// marks or tag of its own.
void TestPresetStore::folderOfAnotherCopyIsLeftAsItWas()
{
    LinkedSimulator sim;
    startAgainst(LinkedSimulator::tcpSettings(sim.simulator().tcpPort()));
    QVERIFY(m_driver.connectDevice());
    m_driver.close();
    QDir folder(m_dir->path());
    const QStringList names = folder.entryList(QDir::Files);
    QVERIFY(names.contains(QStringLiteral("MyConfigure.reads")));
    QVERIFY(names.contains(QStringLiteral("MyNames.pd")));
    QList<QByteArray> files;
    for (const QString &name : names)
        files << readAll(folder.filePath(name));

    FolderClaim firstCopy(m_dir->path());
    QCOMPARE(firstCopy.take(), FolderClaim::Taken);
    QVERIFY(!AppDirectory::claim());
    sim.model().tag = QByteArray(8, 'e');
    sim.model().presets[1].clearWindows();
    restart(sim);
    QVERIFY(m_driver.connectDevice());
    m_driver.close();
    QCOMPARE(m_driver.messages, QStringList({"The file could not be saved"}));
    QCOMPARE(folder.entryList(QDir::Files), names);
    for (int i = 0; i < names.size(); ++i)
        QVERIFY2(readAll(folder.filePath(names[i])) == files[i], qPrintable(names[i]));
    AppDirectory::release();
}

QTEST_MAIN(TestPresetStore)
#include "tst_presetstore.moc"
