#include "appdirectory.h"

#include "datalog.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &overridePath()
{
    static QString dir;
    return dir;
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
    overridePath() = dir;
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
