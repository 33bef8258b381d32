#ifndef DATAFILE_H
#define DATAFILE_H

#include <QtGlobal>

class DeviceData;
class QDataStream;
class QString;

// The binary ".pd" files: a data file (the wall, the presets' canvas data
// and the names) and the names file (preset and input names only). Both
// start with a magic number and a format version, big-endian, and carry a
// body in the stream format of Qt 4.5; operators exchange these files
// between machines, so the layout never changes.
class DataFile
{
public:
    enum Kind { Data, Names };
    enum Result { NothingChosen = 0, Done = 1, CannotOpen = 2, NotADataFile = 3 };

    static constexpr qint32 Magic = 0x05A46BC1;
    static constexpr qint16 FormatVersion = 12;

    // Reads the whole body into a scratch copy and takes it into the record
    // only when it was read cleanly: a short, damaged or foreign file gives
    // NotADataFile and leaves the record untouched.
    static Result read(const QString &path, Kind kind, DeviceData &data);
    // Writes through a temporary file, so a failed write keeps the old file.
    static Result write(const QString &path, Kind kind, const DeviceData &data);

private:
    static bool readBody(QDataStream &in, Kind kind, DeviceData &data);
    static bool readWall(QDataStream &in, DeviceData &data);
    static void writeBody(QDataStream &out, Kind kind, const DeviceData &data);
};

#endif // DATAFILE_H
