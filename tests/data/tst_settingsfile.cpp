#include "appdirectory.h"
#include "settingsfile.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

class TestSettingsFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void missingFileGivesDefaults();
    void numberedKeysWithoutLanguage();
    void fiveKeysTakeDefaultsForTheRest();
    void extraKeysDoNotShiftSettings();
    void writeLeavesExactlyOurKeys();
    void livesInTheApplicationDirectory();

private:
    void writeKeys(const QVariantMap &keys);

    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestSettingsFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_path = m_dir->filePath(QStringLiteral("infoCong.ini"));
}

void TestSettingsFile::writeKeys(const QVariantMap &keys)
{
    QSettings settings(m_path, QSettings::IniFormat);
    for (auto it = keys.begin(); it != keys.end(); ++it)
        settings.setValue(it.key(), it.value());
}

// No file, then a file of fewer than five keys: Chinese and the defaults.
void TestSettingsFile::missingFileGivesDefaults()
{
    for (int round = 0; round < 2; ++round) {
        const SettingsFile::Contents c = SettingsFile::read(m_path);
        QVERIFY(c.defaults);
        QCOMPARE(c.linkSettings,
                 QStringList({"1", "192.168.1.8", "7", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"}));
        QCOMPARE(c.language, 0);
        QCOMPARE(c.checkSum, QByteArray(8, '\0'));
        writeKeys({{"language", 1}, {"0", "0"}, {"1", "10.0.0.2"}, {"checkSum", QByteArray("12345678")}});
    }
}

void TestSettingsFile::numberedKeysWithoutLanguage()
{
    const QStringList stored{"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "AA-BB-CC", "/dev/ttyUSB0"};
    QVariantMap keys;
    for (int i = 0; i < stored.size(); ++i)
        keys.insert(QString::number(i), stored[i]);
    writeKeys(keys);

    const SettingsFile::Contents c = SettingsFile::read(m_path);
    QVERIFY(!c.defaults);
    QCOMPARE(c.linkSettings, stored);
    QCOMPARE(c.language, 0);
    QVERIFY(c.checkSum.isEmpty());
}

void TestSettingsFile::fiveKeysTakeDefaultsForTheRest()
{
    writeKeys({{"0", "0"}, {"1", "10.1.2.3"}, {"2", "23"}, {"language", 7},
               {"checkSum", QByteArray::fromHex("0102030405060708")}});
    const SettingsFile::Contents c = SettingsFile::read(m_path);
    QVERIFY(!c.defaults);
    QCOMPARE(c.linkSettings,
             QStringList({"0", "10.1.2.3", "23", "255.255.255.0", "192.168.1.1", "16-21-2C", "COM1"}));
    QCOMPARE(c.language, 1);
    QCOMPARE(c.checkSum.toHex(), QByteArray("0102030405060708"));
}

void TestSettingsFile::extraKeysDoNotShiftSettings()
{
    QVariantMap keys;
    for (int i = 0; i < SettingsFile::LinkSettingCount; ++i)
        keys.insert(QString::number(i), QStringLiteral("value%1").arg(i));
    keys.insert("10", "stray");
    keys.insert("aaa", "stray");
    writeKeys(keys);

    const SettingsFile::Contents c = SettingsFile::read(m_path);
    for (int i = 0; i < SettingsFile::LinkSettingCount; ++i)
        QCOMPARE(c.linkSettings[i], QStringLiteral("value%1").arg(i));
}

void TestSettingsFile::writeLeavesExactlyOurKeys()
{
    writeKeys({{"10", "stray"}, {"old/group", 1}});
    SettingsFile::Contents written;
    written.linkSettings = QStringList{"0", "10.1.2.3", "5000", "255.0.0.0", "10.0.0.1", "AA-BB-CC", "COM21"};
    written.language = 1;
    written.checkSum = QByteArray::fromHex("00ff10fe20fd30fc");
    QVERIFY(SettingsFile::write(m_path, written));

    QStringList keys = QSettings(m_path, QSettings::IniFormat).allKeys();
    keys.sort();
    QCOMPARE(keys, QStringList({"0", "1", "2", "3", "4", "5", "6", "checkSum", "language"}));

    const SettingsFile::Contents read = SettingsFile::read(m_path);
    QVERIFY(!read.defaults);
    QCOMPARE(read.linkSettings, written.linkSettings);
    QCOMPARE(read.language, 1);
    QCOMPARE(read.checkSum, written.checkSum);
}

void TestSettingsFile::livesInTheApplicationDirectory()
{
    AppDirectory::setPath(m_dir->path());
    QCOMPARE(SettingsFile::path(), m_path);
    AppDirectory::setPath(QString());
    QCOMPARE(QFileInfo(SettingsFile::path()).fileName(), QStringLiteral("infoCong.ini"));
    QVERIFY(QFileInfo(QFileInfo(SettingsFile::path()).path()).isWritable());
}

QTEST_GUILESS_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
