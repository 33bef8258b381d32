#include "folderclaim.h"

#include "datalog.h"

#include <QDir>

// Hidden: the operator's folder shows the data files, not our lock.
const QString FolderClaim::LockFileName = QStringLiteral(".rz5300.lock");

FolderClaim::FolderClaim(const QString &dir)
    : m_path(QDir(dir).filePath(LockFileName))
    , m_lock(m_path)
{
    // A station runs for days: only a dead holder makes the lock stale, never
    // its age.
    m_lock.setStaleLockTime(0);
}

FolderClaim::Result FolderClaim::take()
{
    if (m_lock.isLocked() || m_lock.tryLock(0))
        return Taken;
    if (m_lock.error() == QLockFile::LockFailedError)
        return HeldByOther;
    qCWarning(lcData) << "cannot lock the folder of" << m_path << m_lock.error();
    return NotPossible;
}

void FolderClaim::release()
{
    m_lock.unlock();
}
