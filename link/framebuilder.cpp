#include "framebuilder.h"

#include <blocklayout.h>
#include <devicelimits.h>
#include <modes.h>
#include <protocol.h>

#include <devicedata.h>

namespace {

constexpr int WallFrameSize = 298;
constexpr int WallFlagsOffset = 10;
constexpr int WallFlagCount = 16;
constexpr int WallRowsOffset = 26;
constexpr int WallCellsOffset = 32;
constexpr int WallCellSize = 8;
constexpr int ReadParamSize = 5;

constexpr int PictureModeFrameSize = 21;
// A preset write carries the preset number, then one block.
constexpr int presetFrameSize(int blockSize)
{
    return Protocol::HeaderSize + 1 + blockSize + Protocol::TagSize + Protocol::TrailerSize;
}
constexpr int PresetWindowsFrameSize = presetFrameSize(BlockLayout::AllDataSize);
constexpr int PresetLayersFrameSize = presetFrameSize(BlockLayout::InDataSize);
constexpr int PresetChannelsFrameSize = presetFrameSize(BlockLayout::ChDataSize);

void putWord16(QByteArray &frame, int offset, int value)
{
    frame[offset] = static_cast<char>(value & 0xFF);
    frame[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

QByteArray trailer()
{
    return QByteArray::fromRawData("\xAA\x20", Protocol::TrailerSize);
}

int sumOf(const QVector<int> &sizes, int count)
{
    int sum = 0;
    for (int i = 0; i < count; ++i)
        sum += sizes.at(i);
    return sum;
}

} // namespace

QByteArray FrameBuilder::header(quint8 kind, quint8 code, int lengthField)
{
    QByteArray frame;
    frame.reserve(lengthField);
    frame.append(static_cast<char>(Protocol::FrameStart))
        .append('\x01')
        .append(static_cast<char>((lengthField >> 8) & 0xFF))
        .append(static_cast<char>(lengthField & 0xFF))
        .append('\x04')
        .append(static_cast<char>(kind))
        .append(static_cast<char>(Protocol::Marker))
        .append('\x01')
        .append(static_cast<char>(code));
    return frame;
}

QByteArray FrameBuilder::readRequest(quint8 code, quint8 param)
{
    QByteArray frame = header(Protocol::ReadKind, code, Protocol::ReadFrameSize);
    frame.append(static_cast<char>(param));
    frame.append(ReadParamSize - 1, '\0');
    return frame + trailer();
}

QByteArray FrameBuilder::writeFrame(quint8 code, int lengthField, const QByteArray &params,
                                    const QByteArray &tag)
{
    return header(Protocol::WriteKind, code, lengthField) + params + tag + trailer();
}

QByteArray FrameBuilder::sizedWriteFrame(quint8 code, const QByteArray &params,
                                         const QByteArray &tag)
{
    const int length = Protocol::HeaderSize + params.size() + tag.size() + Protocol::TrailerSize;
    return writeFrame(code, length, params, tag);
}

FrameBuilder::Wall FrameBuilder::wallOf(const DeviceData &data)
{
    return {data.outResolution, data.outMode2, data.colWidths, data.rowHeights};
}

QByteArray FrameBuilder::wallFrame(const Wall &wall, const QByteArray &tag)
{
    QByteArray frame = header(Protocol::WriteKind, Protocol::WriteWall, WallFrameSize);
    frame.append(WallFrameSize - Protocol::TagSize - Protocol::TrailerSize - frame.size(), '\0');
    frame[Protocol::ParamOffset] = static_cast<char>(wall.resolution);
    const char flag = wall.outMode2 == Modes::SingleOutput ? 0 : 1;
    for (int i = 0; i < WallFlagCount; ++i)
        frame[WallFlagsOffset + i] = flag;
    const int rows = wall.rowHeights.size();
    const int cols = wall.colWidths.size();
    frame[WallRowsOffset] = static_cast<char>(rows);
    frame[WallRowsOffset + 1] = static_cast<char>(cols);

    // The frame holds 32 cells; a larger wall cannot be described.
    const int cells = qMin(rows * cols, Limits::WallCells);
    for (int k = 0; k < cells; ++k) {
        const int r = k / cols;
        const int c = k % cols;
        const int cell = WallCellsOffset + WallCellSize * k;
        putWord16(frame, cell, sumOf(wall.colWidths, c));
        putWord16(frame, cell + 2, wall.colWidths.at(c));
        putWord16(frame, cell + 4, sumOf(wall.rowHeights, r));
        putWord16(frame, cell + 6, wall.rowHeights.at(r));
    }
    return frame + tag + trailer();
}

QList<QByteArray> FrameBuilder::pictureModeFrames(int entry, int currentMode, int wantedGroup,
                                                  const QByteArray &tag)
{
    const auto groupFrame = [&](int group, bool on) {
        const quint8 code = group == 1 ? Protocol::SwitchGroup1 : Protocol::SwitchGroup2;
        QByteArray params;
        params.append(static_cast<char>(entry)).append(on ? '\x01' : '\0');
        return writeFrame(code, PictureModeFrameSize, params, tag);
    };
    // Modes 1 and 2 belong to group 1, 3 and 4 to group 2, 0 to none.
    const int currentGroup = (currentMode + 1) / 2;
    QList<QByteArray> frames;
    if (currentGroup == 1 || currentGroup == 2)
        frames << groupFrame(currentGroup, false);
    if (wantedGroup == 1 || wantedGroup == 2)
        frames << groupFrame(wantedGroup, true);
    return frames;
}

QList<QByteArray> FrameBuilder::presetFrames(int preset, const QByteArray &windows,
                                             const QByteArray &layers,
                                             const QByteArray &channels, const QByteArray &tag)
{
    const QByteArray index(1, static_cast<char>(preset));
    return {writeFrame(Protocol::WritePreset, PresetWindowsFrameSize, index + windows, tag),
            writeFrame(Protocol::WritePresetLayers, PresetLayersFrameSize, index + layers, tag),
            writeFrame(Protocol::WriteChannels, PresetChannelsFrameSize, index + channels, tag)};
}

QList<QByteArray> FrameBuilder::presetReads()
{
    QList<QByteArray> frames;
    for (int m = 0; m < DeviceData::Presets; ++m) {
        frames << readRequest(Protocol::ReadPresetWindows, static_cast<quint8>(m))
               << readRequest(Protocol::ReadPresetBlocks, static_cast<quint8>(m));
    }
    return frames;
}

QList<QByteArray> FrameBuilder::connectionReads()
{
    return {readRequest(Protocol::ReadInputCards), readRequest(Protocol::ReadStatus)};
}

bool FrameBuilder::concernsHostData(const QByteArray &frame)
{
    if (quint8(frame.at(Protocol::KindOffset)) == Protocol::WriteKind)
        return true;
    switch (quint8(frame.at(Protocol::CodeOffset))) {
    case Protocol::ReadInputCards:
    case Protocol::ReadStatus:
    case Protocol::ReadPresetWindows:
    case Protocol::ReadPresetBlocks:
        return true;
    default:
        return false;
    }
}

// Writes that change one preset name it as their first parameter.
int FrameBuilder::presetRecalledBy(const QByteArray &frame)
{
    if (frame.size() <= Protocol::ParamOffset || quint8(frame.at(Protocol::CodeOffset)) != Protocol::RecallPreset)
        return -1;
    const int preset = quint8(frame.at(Protocol::ParamOffset));
    return preset < DeviceData::Presets ? preset : -1;
}

int FrameBuilder::presetWrittenBy(const QByteArray &frame)
{
    switch (quint8(frame.at(Protocol::CodeOffset))) {
    case Protocol::WriteWindows:
    case Protocol::DeleteWindows:
    case Protocol::SetWindowSignal:
    case Protocol::WritePreset:
    case Protocol::WritePresetLayers:
    case Protocol::WriteChannels: {
        const int preset = quint8(frame.at(Protocol::ParamOffset));
        return preset < DeviceData::Presets ? preset : -1;
    }
    default:
        return -1;
    }
}
