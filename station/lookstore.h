#ifndef LOOKSTORE_H
#define LOOKSTORE_H

#include "look.h"

#include <QList>
#include <QString>

// The station's looks in their file, "MyLooks.json" beside the settings
// file, so that a rack machine can be set up by hand:
//
//   {"looks": [{"name": "Opening",
//               "presets": [{"processor": 1, "preset": 3},
//                           {"processor": 2, "preset": 1}]}]}
//
// Processors and presets count from 1 in the file. The file is the
// operator's or anyone's: it is read within bounds, and a look that breaks
// one (a processor or preset out of range, a processor twice, a name empty,
// too long or taken) is refused whole with the reason.
class LookStore
{
public:
    static constexpr int MaxLooks = 64;
    static constexpr int MaxNameLength = 32;
    static constexpr qint64 MaxFileBytes = 256 * 1024;

    struct Loaded
    {
        QList<Look> looks;
        QStringList errors; // one line for each look or file fault
    };

    static QString fileName() { return QStringLiteral("MyLooks.json"); }
    // Reads the looks of processors 0 to processors - 1. A missing file
    // holds no looks and no error.
    static Loaded read(const QString &path, int processors);
    static bool write(const QString &path, const QList<Look> &looks);
    // Why the look cannot be kept among the others (empty when it can).
    static QString check(const Look &look, const QList<Look> &others, int processors);
};

#endif // LOOKSTORE_H
