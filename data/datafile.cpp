#include "datafile.h"

#include "datalog.h"
#include "devicedata.h"

#include <QDataStream>
#include <QFile>
#include <QSaveFile>

namespace {

template<typename Container>
void readEach(QDataStream &in, Container &items)
{
    for (auto &item : items)
        in >> item;
}

template<typename Container>
void writeEach(QDataStream &out, const Container &items)
{
    for (const auto &item : items)
        out << item;
}

void readInts(QDataStream &in, QVector<int> &values)
{
    for (int &value : values) {
        qint32 v = 0;
        in >> v;
        value = v;
    }
}

void writeInts(QDataStream &out, const QVector<int> &values)
{
    for (int value : values)
        out << qint32(value);
}

} // namespace

DataFile::Result DataFile::read(const QString &path, Kind kind, DeviceData &data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return CannotOpen;

    QDataStream in(&file);
    qint32 magic = 0;
    qint16 version = 0;
    in >> magic >> version;
    if (in.status() != QDataStream::Ok || magic != Magic || version > FormatVersion)
        return NotADataFile;

    in.setVersion(QDataStream::Qt_4_5);
    DeviceData scratch = data;
    if (!readBody(in, kind, scratch) || in.status() != QDataStream::Ok) {
        qCWarning(lcData) << path << "is short or damaged; nothing taken from it";
        return NotADataFile;
    }
    data = std::move(scratch);
    return Done;
}

bool DataFile::readBody(QDataStream &in, Kind kind, DeviceData &data)
{
    readEach(in, data.modelNames);
    if (kind == Data) {
        if (!readWall(in, data))
            return false;
        readEach(in, data.modelView);
        qint32 resolution = 0, width = 0, height = 0, preset = 0;
        in >> resolution >> width >> height >> preset;
        data.outResolution = resolution;
        data.outWidth = width;
        data.outHeight = height;
        data.curModel = preset;
    }
    readEach(in, data.inCardNames);
    return true;
}

// The grid counts come first and size the widths and heights that follow;
// they are checked before anything is allocated.
bool DataFile::readWall(QDataStream &in, DeviceData &data)
{
    qint32 rows = 0, cols = 0, outMode2 = 0;
    in >> rows >> cols >> outMode2;
    if (in.status() != QDataStream::Ok || !DeviceData::isValidWallSize(rows, cols))
        return false;
    data.outMode2 = outMode2;
    data.setWallSize(rows, cols);
    readInts(in, data.colWidths);
    readInts(in, data.rowHeights);
    return true;
}

DataFile::Result DataFile::write(const QString &path, Kind kind, const DeviceData &data)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return CannotOpen;

    QDataStream out(&file);
    out << Magic << FormatVersion;
    out.setVersion(QDataStream::Qt_4_5);
    writeBody(out, kind, data);
    if (out.status() != QDataStream::Ok || !file.commit()) {
        qCWarning(lcData) << "cannot write" << path << file.errorString();
        return CannotOpen;
    }
    return Done;
}

void DataFile::writeBody(QDataStream &out, Kind kind, const DeviceData &data)
{
    writeEach(out, data.modelNames);
    if (kind == Data) {
        out << qint32(data.rows()) << qint32(data.cols()) << qint32(data.outMode2);
        writeInts(out, data.colWidths);
        writeInts(out, data.rowHeights);
        writeEach(out, data.modelView);
        out << qint32(data.outResolution) << qint32(data.outWidth) << qint32(data.outHeight)
            << qint32(data.curModel);
    }
    writeEach(out, data.inCardNames);
}
