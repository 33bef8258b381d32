#ifndef PAGEFILES_H
#define PAGEFILES_H

#include <QByteArray>
#include <QHash>
#include <QString>

// The page's files, built into the program: each with its type and an
// entity tag from its content, so that a browser asks again each time
// (no-cache) but gets 304 while the program is the same.
class PageFiles
{
public:
    struct File
    {
        QByteArray body;
        QByteArray mimeType;
        QByteArray etag;
    };

    PageFiles();

    // The file served at this path ("/" is index.html), null when none.
    const File *find(const QString &path) const;

private:
    QHash<QString, File> m_files;
};

#endif // PAGEFILES_H
