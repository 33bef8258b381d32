#include "presetreadsfile.h"

#include "appdirectory.h"
#include "datalog.h"

#include <QCryptographicHash>
#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

constexpr quint8 NotKept = 0xFF;
constexpr int DigestSize = 32;

QByteArray digestOf(const QByteArray &view)
{
    return QCryptographicHash::hash(view, QCryptographicHash::Sha256);
}

QByteArray layerBytes(const PresetRead &read)
{
    QByteArray bytes(BlockLayout::LayerSize, '\0');
    for (int i = 0; i < BlockLayout::LayerSize; ++i)
        bytes[i] = char(read.layers[size_t(i)]);
    return bytes;
}

void writePreset(QDataStream &out, const std::optional<PresetRead> &read, const QByteArray &view)
{
    if (!read || read->windows.size() > BlockLayout::Slots) {
        out << NotKept;
        return;
    }
    out << quint8(read->windows.size());
    const QByteArray fixed = digestOf(view) + layerBytes(*read);
    out.writeRawData(fixed.constData(), int(fixed.size()));
    for (const WinData &window : read->windows) {
        const QByteArray block = window.toBlock();
        out.writeRawData(block.constData(), int(block.size()));
    }
}

// Sizes are known before anything is read: a count out of range, or a
// stream that runs short, ends the reading, so no more than 16 presets of
// 64 windows are ever read, whatever the file's length.
bool readRaw(QDataStream &in, QByteArray &bytes, int size)
{
    bytes.resize(size);
    return in.readRawData(bytes.data(), size) == size;
}

// A preset kept for other canvas data is read past and given back empty.
bool readPreset(QDataStream &in, const QByteArray &view, std::optional<PresetRead> &read)
{
    quint8 windows = 0;
    in >> windows;
    if (in.status() != QDataStream::Ok)
        return false;
    if (windows == NotKept)
        return true;
    QByteArray digest, layers, block;
    if (windows > BlockLayout::Slots || !readRaw(in, digest, DigestSize)
        || !readRaw(in, layers, BlockLayout::LayerSize))
        return false;
    PresetRead kept;
    for (int i = 0; i < BlockLayout::LayerSize; ++i)
        kept.layers[size_t(i)] = quint8(layers.at(i));
    for (int w = 0; w < windows; ++w) {
        if (!readRaw(in, block, WinData::BlockSize))
            return false;
        kept.windows << WinData::fromBlock(block);
    }
    if (digest == digestOf(view))
        read = kept;
    return true;
}

} // namespace

QString PresetReadsFile::pathBeside(const QString &dataPath)
{
    const QFileInfo data(dataPath);
    return data.dir().filePath(data.completeBaseName() + QStringLiteral(".reads"));
}

bool PresetReadsFile::write(const QString &path, const DeviceData &data)
{
    // The file is the other copy's to keep.
    if (!AppDirectory::mayWrite(path))
        return false;
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        QDataStream out(&file);
        out << Magic << FormatVersion;
        for (size_t m = 0; m < DeviceData::Presets; ++m)
            writePreset(out, data.presetsAsRead[m], data.modelView[m]);
        if (out.status() == QDataStream::Ok && file.commit())
            return true;
    }
    qCWarning(lcData) << "cannot write" << path << file.errorString();
    QFile::remove(path);
    return false;
}

PresetReadsFile::Reads PresetReadsFile::read(const QString &path, const DeviceData &data)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QDataStream in(&file);
    quint32 magic = 0;
    quint16 version = 0;
    in >> magic >> version;
    Reads reads;
    bool whole = in.status() == QDataStream::Ok && magic == Magic && version == FormatVersion;
    for (size_t m = 0; whole && m < DeviceData::Presets; ++m)
        whole = readPreset(in, data.modelView[m], reads[m]);
    if (!whole || !in.atEnd()) {
        qCWarning(lcData) << path << "is short, damaged or foreign; no reads kept";
        return {};
    }
    return reads;
}
