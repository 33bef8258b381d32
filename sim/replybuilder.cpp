#include "replybuilder.h"

#include "devicemodel.h"
#include "framebytes.h"

#include <protocol.h>

using FrameBytes::orByte;
using FrameBytes::setByte;
using FrameBytes::setLe16;

namespace {

constexpr int StatusLength = 362;
constexpr int StatusCellsOffset = 31;
constexpr int StatusPresetOffset = 287;
constexpr int StatusTagOffset = 352;
constexpr int EntrySize = 28;
constexpr int EntriesLength = Protocol::HeaderSize + DeviceModel::EntryCount * EntrySize + Protocol::TrailerSize;
constexpr int VersionsLength = 134;
constexpr int OutputVersionsOffset = 108;
constexpr int NetworkLength = 31;
constexpr int SignalFlagsLength = 19;
constexpr int LayersOffset = Protocol::HeaderSize + Preset::WindowsSize; // 1801

void setIpv4(QByteArray &reply, int offset, quint32 address)
{
    for (int i = 0; i < 4; ++i)
        setByte(reply, offset + i, int(address >> (24 - 8 * i)));
}

void setRect(QByteArray &reply, int offset, const std::array<quint16, 4> &rect)
{
    for (int i = 0; i < 4; ++i)
        setLe16(reply, offset + 2 * i, rect[size_t(i)]);
}

void setEntryChunk(QByteArray &reply, int offset, const InputEntry &entry)
{
    const quint8 head[] = {entry.id, quint8(entry.present), entry.mainSignal, entry.auxSignal,
                           entry.mode, entry.light, entry.contrast, entry.colour,
                           entry.captions[0], entry.captions[1], entry.captions[2], entry.captions[3]};
    for (int i = 0; i < int(sizeof head); ++i)
        setByte(reply, offset + i, head[i]);
    setRect(reply, offset + 12, entry.rectA);
    setRect(reply, offset + 20, entry.rectB);
}

const Preset &presetAt(const DeviceModel &model, int preset)
{
    static const Preset empty;
    return preset < DeviceModel::PresetCount ? model.presets[size_t(preset)] : empty;
}

} // namespace

QByteArray ReplyBuilder::read(quint8 code, int parameter, const DeviceModel &model)
{
    switch (code) {
    case Protocol::ReadStatus:
        return status(model);
    case Protocol::ReadInputCards:
        return inputEntries(model);
    case Protocol::ReadVersions:
        return versions(model);
    case Protocol::ReadNetwork:
        return network(model);
    case Protocol::ReadSignalFlags:
        return signalFlags(model);
    case Protocol::ReadPresetWindows:
        return presetWindows(model, parameter);
    case Protocol::ReadPresetBlocks:
        return presetSources(model, parameter);
    default:
        return {};
    }
}

QByteArray ReplyBuilder::acknowledgement()
{
    return QByteArray::fromHex("2001ff080401aa20");
}

QByteArray ReplyBuilder::envelope(quint8 code, int length)
{
    QByteArray reply(length, 0);
    const quint8 header[] = {Protocol::FrameStart, 0x01, quint8(length >> 8), quint8(length),
                             0x04, Protocol::WriteKind, Protocol::Marker, 0x01, code};
    for (int i = 0; i < Protocol::HeaderSize; ++i)
        setByte(reply, i, header[i]);
    setByte(reply, length - 2, Protocol::Marker);
    setByte(reply, length - 1, Protocol::FrameEnd);
    return reply;
}

// Presence bits of the 32 entries in 9..12 (entry k: bit k % 8 of 12 - k / 8),
// card types of the 24 slots in 15..20 (slot k: two bits at 2 (k % 4) of
// 20 - k / 4), wall in 23..26 and cells from 31, current preset at 287,
// tag at 352..359.
QByteArray ReplyBuilder::status(const DeviceModel &model)
{
    QByteArray reply = envelope(Protocol::ReadStatus, StatusLength);
    for (int k = 0; k < DeviceModel::EntryCount; ++k) {
        const InputEntry &entry = model.entries[size_t(k)];
        if (entry.present)
            orByte(reply, 12 - k / 8, 1 << (k % 8));
        if (k < DeviceModel::SlotCount)
            orByte(reply, 20 - k / 4, (entry.cardType & 0x3) << 2 * (k % 4));
    }
    const WallLayout &wall = model.wall;
    setByte(reply, 23, wall.resolution);
    setByte(reply, 24, wall.outputMode);
    setByte(reply, 25, wall.rows);
    setByte(reply, 26, wall.cols);
    for (int k = 0; k < WallLayout::MaxCells; ++k) {
        const QRect &cell = wall.cells[size_t(k)];
        setRect(reply, StatusCellsOffset + 8 * k,
                {quint16(cell.x()), quint16(cell.width()), quint16(cell.y()), quint16(cell.height())});
    }
    setByte(reply, StatusPresetOffset, model.currentPreset);
    reply.replace(StatusTagOffset, DeviceModel::TagSize, model.tag.left(DeviceModel::TagSize));
    return reply;
}

// Entry k's 28-byte chunk at 9 + 28 k.
QByteArray ReplyBuilder::inputEntries(const DeviceModel &model)
{
    QByteArray reply = envelope(Protocol::ReadInputCards, EntriesLength);
    for (int k = 0; k < DeviceModel::EntryCount; ++k)
        setEntryChunk(reply, Protocol::HeaderSize + EntrySize * k, model.entries[size_t(k)]);
    return reply;
}

// System board at 9..11, input slot k at 12 + 3 k, output slot k at 108 + 2 k.
QByteArray ReplyBuilder::versions(const DeviceModel &model)
{
    QByteArray reply = envelope(Protocol::ReadVersions, VersionsLength);
    for (int i = 0; i < 3; ++i)
        setByte(reply, 9 + i, model.systemVersion[size_t(i)]);
    for (int k = 0; k < DeviceModel::SlotCount; ++k) {
        for (int i = 0; i < 3; ++i)
            setByte(reply, 12 + 3 * k + i, model.entries[size_t(k)].version[size_t(i)]);
    }
    for (int k = 0; k < DeviceModel::OutputCount; ++k) {
        setByte(reply, OutputVersionsOffset + 2 * k, model.outputs[size_t(k)][0]);
        setByte(reply, OutputVersionsOffset + 2 * k + 1, model.outputs[size_t(k)][1]);
    }
    return reply;
}

// Address 9..12, mask 13..16, gateway 17..20, MAC 21..26, port 27..28.
QByteArray ReplyBuilder::network(const DeviceModel &model)
{
    QByteArray reply = envelope(Protocol::ReadNetwork, NetworkLength);
    const NetworkSettings &settings = model.network;
    setIpv4(reply, 9, settings.address);
    setIpv4(reply, 13, settings.mask);
    setIpv4(reply, 17, settings.gateway);
    for (int i = 0; i < 6; ++i)
        setByte(reply, 21 + i, settings.mac[size_t(i)]);
    setLe16(reply, 27, settings.port);
    return reply;
}

// Entry k: bits 2 (k % 4) (first channel) and 2 (k % 4) + 1 (second
// channel) of byte 16 - k / 4.
QByteArray ReplyBuilder::signalFlags(const DeviceModel &model)
{
    QByteArray reply = envelope(Protocol::ReadSignalFlags, SignalFlagsLength);
    for (int k = 0; k < DeviceModel::EntryCount; ++k) {
        const InputEntry &entry = model.entries[size_t(k)];
        const int bits = (entry.signalA ? 1 : 0) | (entry.signalB ? 2 : 0);
        orByte(reply, 16 - k / 4, bits << 2 * (k % 4));
    }
    return reply;
}

// 64 window slots of 28 bytes from 9, the 64 layer bytes at 1801..1864.
QByteArray ReplyBuilder::presetWindows(const DeviceModel &model, int preset)
{
    const Preset &stored = presetAt(model, preset);
    QByteArray reply = envelope(Protocol::ReadPresetWindows,
                                LayersOffset + Preset::LayersSize + Protocol::TrailerSize);
    reply.replace(Protocol::HeaderSize, Preset::WindowsSize, stored.windows);
    reply.replace(LayersOffset, Preset::LayersSize, stored.layers);
    return reply;
}

// 64 source blocks of 8 bytes from 9.
QByteArray ReplyBuilder::presetSources(const DeviceModel &model, int preset)
{
    QByteArray reply = envelope(Protocol::ReadPresetBlocks,
                                Protocol::HeaderSize + Preset::SourcesSize + Protocol::TrailerSize);
    reply.replace(Protocol::HeaderSize, Preset::SourcesSize, presetAt(model, preset).sources);
    return reply;
}
