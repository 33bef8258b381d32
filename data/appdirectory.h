#ifndef APPDIRECTORY_H
#define APPDIRECTORY_H

#include <QString>

// The directory of the settings file and the device data files.
//
// It is the program's own directory, so that a copy of the program carries
// its files along (the Windows habit operators rely on). Where that
// directory is not writable, as for an installed copy on Linux, the
// per-user application data directory is used instead. A profile is a
// directory of its own under it, for a second station on the same machine.
//
// One running copy writes a directory: the first to claim it. Another copy
// reads the files but writes none of them, so that neither overwrites the
// other's data at exit.
class AppDirectory
{
public:
    static QString path();
    static QString filePath(const QString &fileName);
    // Points every file at another directory (tests, demos); an empty
    // directory restores the default. A claim on the former one is let go.
    static void setPath(const QString &dir);

    // Letters, digits, '-' and '_', 1 to 32 of them: a name that stays one
    // directory under this one on every system.
    static bool isProfileName(const QString &name);
    // The directory "profiles/<name>" under the present one, created; false
    // when it cannot be.
    static bool setProfile(const QString &name);

    // False when another running copy holds the directory: from then on this
    // copy does not write it. Where no lock can be made at all, the files'
    // own writes say what fails.
    static bool claim();
    static void release();
    static bool writable();
    // writable(), with the refused write of file logged.
    static bool mayWrite(const QString &file);

private:
    static QString defaultPath();
};

#endif // APPDIRECTORY_H
