// The folder of the program's files: one copy of the program claims it,
// another writes none of its files there, and a profile is a folder of
// its own.

#include "appdirectory.h"
#include "datafile.h"
#include "devicedata.h"
#include "folderclaim.h"
#include "presetreadsfile.h"
#include "settingsfile.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

class TestAppDirectory : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void claimIsHeldUntilReleased();
    void writersRefuseAFolderHeldByAnother();
    void profileIsAFolderOfItsOwn();
    void profileNames_data();
    void profileNames();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestAppDirectory::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    AppDirectory::setPath(m_dir->path());
}

void TestAppDirectory::cleanup()
{
    AppDirectory::setPath(QString());
}

void TestAppDirectory::claimIsHeldUntilReleased()
{
    FolderClaim other(m_dir->path());
    QCOMPARE(other.take(), FolderClaim::Taken);
    QVERIFY(!AppDirectory::claim());
    QVERIFY(!AppDirectory::writable());

    other.release();
    QVERIFY(AppDirectory::claim());
    QVERIFY(AppDirectory::writable());
    QCOMPARE(other.take(), FolderClaim::HeldByOther);

    AppDirectory::release();
    QCOMPARE(other.take(), FolderClaim::Taken);
}

// Every file keeps the other copy's bytes, the reads file included, which
// a failed write of its own would remove.
void TestAppDirectory::writersRefuseAFolderHeldByAnother()
{
    DeviceData data;
    data.setPaths();
    data.setWallSize(2, 2);
    const QString settings = SettingsFile::path();
    const QString reads = PresetReadsFile::pathBeside(data.configPath);
    QCOMPARE(data.saveFile(QStringLiteral("default")), int(DataFile::Done));
    QCOMPARE(data.saveNames(), int(DataFile::Done));
    QVERIFY(PresetReadsFile::write(reads, data));
    QVERIFY(SettingsFile::write(settings, SettingsFile::Contents()));
    const QStringList before = QDir(m_dir->path()).entryList(QDir::Files);
    QCOMPARE(before.size(), 4);

    FolderClaim other(m_dir->path());
    QCOMPARE(other.take(), FolderClaim::Taken);
    QVERIFY(!AppDirectory::claim());
    data.setWallSize(3, 3);
    SettingsFile::Contents contents;
    contents.checkSum = "newtag!!";
    contents.defaults = false;
    QCOMPARE(data.saveFile(QStringLiteral("default")), int(DataFile::CannotOpen));
    QCOMPARE(data.saveNames(), int(DataFile::CannotOpen));
    QVERIFY(data.saveBackup().isEmpty());
    QVERIFY(!PresetReadsFile::write(reads, data));
    QVERIFY(!SettingsFile::write(settings, contents));
    QVERIFY(!SettingsFile::writePresetMarks(settings, {1}, {2}));

    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files), before);
    DeviceData read;
    QCOMPARE(DataFile::read(data.configPath, DataFile::Data, read), DataFile::Done);
    QCOMPARE(read.rows(), 2);
    QCOMPARE(SettingsFile::read(settings).checkSum, SettingsFile::defaultCheckSum());
    QVERIFY(SettingsFile::changedPresets(settings).isEmpty());

    other.release();
    QVERIFY(AppDirectory::claim());
    QCOMPARE(data.saveFile(QStringLiteral("default")), int(DataFile::Done));
}

void TestAppDirectory::profileIsAFolderOfItsOwn()
{
    FolderClaim firstStation(m_dir->path());
    QCOMPARE(firstStation.take(), FolderClaim::Taken);
    QVERIFY(AppDirectory::setProfile(QStringLiteral("studio-2")));
    const QString profile = QDir(m_dir->path()).filePath(QStringLiteral("profiles/studio-2"));
    QCOMPARE(AppDirectory::path(), profile);
    QVERIFY(QFileInfo(profile).isDir());
    QCOMPARE(SettingsFile::path(), profile + QStringLiteral("/infoCong.ini"));
    QVERIFY(AppDirectory::claim());

    FolderClaim secondCopy(profile);
    QCOMPARE(secondCopy.take(), FolderClaim::HeldByOther);
}

void TestAppDirectory::profileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "studio" << true;
    QTest::newRow("digits, dash, underscore") << "A-1_b" << true;
    QTest::newRow("32 characters") << QString(32, QLatin1Char('x')) << true;
    QTest::newRow("33 characters") << QString(33, QLatin1Char('x')) << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("parent") << ".." << false;
    QTest::newRow("path") << "a/b" << false;
    QTest::newRow("backslash") << "a\\b" << false;
    QTest::newRow("space") << "a b" << false;
    QTest::newRow("newline at the end") << "ab\n" << false;
    QTest::newRow("non-ASCII letter") << QStringLiteral("caf\u00e9") << false;
}

// A refused name leaves the folder as it was and creates nothing.
void TestAppDirectory::profileNames()
{
    QFETCH(QString, name);
    QFETCH(bool, valid);
    QCOMPARE(AppDirectory::isProfileName(name), valid);
    if (valid)
        return;
    QVERIFY(!AppDirectory::setProfile(name));
    QCOMPARE(AppDirectory::path(), m_dir->path());
    QVERIFY(!QFileInfo::exists(QDir(m_dir->path()).filePath(QStringLiteral("profiles"))));
}

QTEST_MAIN(TestAppDirectory)
#include "tst_appdirectory.moc"
