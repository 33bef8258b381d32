#ifndef PRESETREADSFILE_H
#define PRESETREADSFILE_H

#include "devicedata.h"

#include <QString>

// What the last read from the device found of each preset
// (DeviceData::presetsAsRead), kept beside the data file in a file of its
// own: the data file is exchanged between machines and keeps its layout,
// while these blocks are worth something only against the device they
// were read from. Each preset's blocks go with a digest of the canvas data
// saved with them, and come back only to that same canvas data; a file
// that is short, long, damaged or foreign gives nothing back.
class PresetReadsFile
{
public:
    using Reads = decltype(DeviceData::presetsAsRead);

    static constexpr quint32 Magic = 0x52454144;
    static constexpr quint16 FormatVersion = 1;

    // "MyConfigure.pd" keeps its reads in "MyConfigure.reads".
    static QString pathBeside(const QString &dataPath);
    // False when it could not be written; no older file is left behind to
    // be taken for this one, unless the folder is another copy's.
    static bool write(const QString &path, const DeviceData &data);
    // The reads kept for presets whose canvas data are still data's.
    static Reads read(const QString &path, const DeviceData &data);
};

#endif // PRESETREADSFILE_H
