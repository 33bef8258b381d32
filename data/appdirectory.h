#ifndef APPDIRECTORY_H
#define APPDIRECTORY_H

#include <QString>

// The directory of the settings file and the device data files.
//
// It is the program's own directory, so that a copy of the program carries
// its files along (the Windows habit operators rely on). Where that
// directory is not writable, as for an installed copy on Linux, the
// per-user application data directory is used instead.
class AppDirectory
{
public:
    static QString path();
    static QString filePath(const QString &fileName);
    // Points every file at another directory (tests, demos); an empty
    // directory restores the default.
    static void setPath(const QString &dir);

private:
    static QString defaultPath();
};

#endif // APPDIRECTORY_H
