#include "appdirectory.h"

#include "datalog.h"
#include "folderclaim.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <memory>

namespace {

QString &overridePath()
{
    static QString dir;
    return dir;
}

struct Claim
{
    std::unique_ptr<FolderClaim> lock;
    bool heldByOther = false;
};

Claim &claimState()
{
    static Claim claim;
    return claim;
}

} // namespace

QString AppDirectory::path()
{
    const QString &dir = overridePath();
    return dir.isEmpty() ? defaultPath() : dir;
}

QString AppDirectory::filePath(const QString &fileName)
{
    return path() + QLatin1Char('/') + fileName;
}

void AppDirectory::setPath(const QString &dir)
{
    release();
    overridePath() = dir;
}

bool AppDirectory::isProfileName(const QString &name)
{
    // Anchored to the very end: '$' would let a final newline through.
    static const QRegularExpression pattern(QRegularExpression::anchoredPattern(QStringLiteral("[A-Za-z0-9_-]{1,32}")));
    return pattern.match(name).hasMatch();
}

bool AppDirectory::setProfile(const QString &name)
{
    if (!isProfileName(name))
        return false;
    const QString dir = QDir(path()).filePath(QStringLiteral("profiles/") + name);
    if (!QDir().mkpath(dir)) {
        qCWarning(lcData) << "cannot create" << dir;
        return false;
    }
    setPath(dir);
    return true;
}

bool AppDirectory::claim()
{
    Claim &claim = claimState();
    if (!claim.lock)
        claim.lock = std::make_unique<FolderClaim>(path());
    claim.heldByOther = claim.lock->take() == FolderClaim::HeldByOther;
    return !claim.heldByOther;
}

void AppDirectory::release()
{
    Claim &claim = claimState();
    claim.lock.reset();
    claim.heldByOther = false;
}

bool AppDirectory::writable()
{
    return !claimState().heldByOther;
}

bool AppDirectory::mayWrite(const QString &file)
{
    if (writable())
        return true;
    qCWarning(lcData) << file << "not written: another copy of the program holds" << path();
    return false;
}

QString AppDirectory::defaultPath()
{
    QString programDir = QCoreApplication::applicationDirPath();
#ifdef Q_OS_WIN
    return programDir;
#else
    if (QFileInfo(programDir).isWritable())
        return programDir;
    QString dataDir = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (!QDir().mkpath(dataDir))
        qCWarning(lcData) << "cannot create" << dataDir;
    return dataDir;
#endif
}
