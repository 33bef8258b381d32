// The program itself started more than once on one machine: the copy
// that comes second on a folder says so and leaves it alone, a crashed
// copy's lock is taken over, and a profile is a station of its own.

#include <appdirectory.h>
#include <folderclaim.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Generous: a sanitized build starts slowly on a busy machine.
constexpr int StartMs = 60 * 1000;

// A copy of the program running until it is killed; its error output kept.
class Station
{
public:
    explicit Station(const QString &program, const QStringList &arguments = {})
    {
        QObject::connect(&m_process, &QProcess::readyReadStandardError,
                         [this] { m_errors += m_process.readAllStandardError(); });
        m_process.start(program, arguments);
    }
    ~Station() { crash(); }

    const QByteArray &errors() const { return m_errors; }
    bool running() const { return m_process.state() == QProcess::Running; }
    void crash()
    {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.kill();
        m_process.waitForFinished(StartMs);
    }

private:
    QProcess m_process;
    QByteArray m_errors;
};

} // namespace

class TestStationClaim : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void secondCopyOnAFolderSaysSoAndACrashedLockIsTakenOver();
    void profileRunsBesideTheFirstCopy();
    void badProfileNameIsRefused();
    void helpNamesTheProfile();

private:
    QString lockIn(const QString &dir) const { return QDir(dir).filePath(FolderClaim::LockFileName); }

    QTemporaryDir m_dir; // the program's own folder: its files land beside it
    QString m_program;
};

// A copy of the program: the one in the build tree writes its files there.
void TestStationClaim::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_program = m_dir.filePath(QStringLiteral("rz5300"));
    QVERIFY(QFile::copy(QStringLiteral(PROGRAM), m_program));
}

void TestStationClaim::cleanup()
{
    AppDirectory::setPath(QString());
}

void TestStationClaim::secondCopyOnAFolderSaysSoAndACrashedLockIsTakenOver()
{
    Station first(m_program);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockIn(m_dir.path())), StartMs);
    Station second(m_program);
    QTRY_VERIFY_WITH_TIMEOUT(second.errors().contains("another copy of the program holds"), StartMs);
    QVERIFY(second.errors().contains(QDir::toNativeSeparators(m_dir.path()).toUtf8()));
    QVERIFY2(!first.errors().contains("another copy"), first.errors().constData());
    second.crash();
    QVERIFY(first.running());

    first.crash();
    QVERIFY(QFileInfo::exists(lockIn(m_dir.path())));
    AppDirectory::setPath(m_dir.path());
    QVERIFY(AppDirectory::claim());
}

void TestStationClaim::profileRunsBesideTheFirstCopy()
{
    Station first(m_program);
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockIn(m_dir.path())), StartMs);
    Station second(m_program, {QStringLiteral("--profile"), QStringLiteral("studio-2")});
    const QString profile = m_dir.filePath(QStringLiteral("profiles/studio-2"));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(lockIn(profile)), StartMs);
    // Its lock is in place only once the claim succeeded: nothing was said.
    QVERIFY(second.running());
    QVERIFY2(!second.errors().contains("another copy"), second.errors().constData());
    QVERIFY(first.running());
}

void TestStationClaim::badProfileNameIsRefused()
{
    QProcess process;
    process.start(m_program, {QStringLiteral("--profile"), QStringLiteral("../elsewhere")});
    QVERIFY(process.waitForFinished(StartMs));
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 2);
    QVERIFY(process.readAllStandardError().contains("bad profile name \"../elsewhere\""));
    QVERIFY(!QFileInfo::exists(m_dir.filePath(QStringLiteral("elsewhere"))));
}

void TestStationClaim::helpNamesTheProfile()
{
    QProcess process;
    process.start(m_program, {QStringLiteral("--help")});
    QVERIFY(process.waitForFinished(StartMs));
    QCOMPARE(process.exitCode(), 0);
    QVERIFY(process.readAllStandardOutput().contains("--profile <NAME>"));
}

QTEST_MAIN(TestStationClaim)
#include "tst_stationclaim.moc"
