#include "pagefiles.h"

#include <QCryptographicHash>
#include <QFile>

// The resources of a static library are registered by hand, outside any
// namespace (the macro declares Qt's function where it stands).
static void loadResources()
{
    Q_INIT_RESOURCE(page);
}

namespace {

struct Entry
{
    const char *path;
    const char *resource;
    const char *mimeType;
};

constexpr Entry Entries[] = {
    {"/", ":/page/index.html", "text/html; charset=utf-8"},
    {"/index.html", ":/page/index.html", "text/html; charset=utf-8"},
    {"/app.js", ":/page/app.js", "text/javascript; charset=utf-8"},
    {"/style.css", ":/page/style.css", "text/css; charset=utf-8"},
};

} // namespace

PageFiles::PageFiles()
{
    loadResources();
    for (const Entry &entry : Entries) {
        QFile file(QString::fromLatin1(entry.resource));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        File served;
        served.body = file.readAll();
        served.mimeType = entry.mimeType;
        served.etag = '"' + QCryptographicHash::hash(served.body, QCryptographicHash::Sha256).toHex().left(32) + '"';
        m_files.insert(QString::fromLatin1(entry.path), served);
    }
}

const PageFiles::File *PageFiles::find(const QString &path) const
{
    const auto it = m_files.constFind(path);
    return it == m_files.cend() ? nullptr : &it.value();
}
