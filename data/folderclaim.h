#ifndef FOLDERCLAIM_H
#define FOLDERCLAIM_H

#include <QLockFile>
#include <QString>

// One running copy's hold on a folder of the program's files: a lock file
// in it. The lock of a copy that ended without letting go (a crash, a
// power cut) is taken over; that of a copy still running is not.
class FolderClaim
{
public:
    enum Result { Taken, HeldByOther, NotPossible };

    static const QString LockFileName;

    explicit FolderClaim(const QString &dir);

    Result take();
    void release();

private:
    QString m_path; // Qt 5's lock file does not tell its name
    QLockFile m_lock;
};

#endif // FOLDERCLAIM_H
