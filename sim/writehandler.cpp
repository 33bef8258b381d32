#include "writehandler.h"

#include "devicemodel.h"
#include "framebytes.h"

#include <modes.h>
#include <protocol.h>

using FrameBytes::byteAt;
using FrameBytes::le16At;

namespace {

constexpr int TargetOffset = Protocol::ParamOffset;     // preset or entry
constexpr int ValueOffset = Protocol::ParamOffset + 1;
constexpr int Envelope = Protocol::HeaderSize + Protocol::TagSize + Protocol::TrailerSize;
constexpr int WallCellsOffset = 32;
constexpr int WindowBlockOffset = 11;
constexpr int BlobOffset = 10;

quint32 ipv4At(const QByteArray &request, int offset)
{
    quint32 address = 0;
    for (int i = 0; i < 4; ++i)
        address = address << 8 | byteAt(request, offset + i);
    return address;
}

std::array<quint16, 4> rectAt(const QByteArray &request, int offset)
{
    return {le16At(request, offset), le16At(request, offset + 2),
            le16At(request, offset + 4), le16At(request, offset + 6)};
}

} // namespace

bool WriteHandler::apply(const QByteArray &request, DeviceModel *model)
{
    const quint8 code = byteAt(request, Protocol::CodeOffset);
    const int required = requiredLength(code);
    if (required == 0 || request.size() < required)
        return false;
    switch (code) {
    case Protocol::WriteNetwork:
        writeNetwork(request, model->network);
        return true;
    case Protocol::WriteWall:
        // The presets were laid out on the old wall: the device empties them.
        writeWall(request, model->wall);
        model->clearPresets();
        return true;
    case Protocol::RestoreFactory:
        model->restoreFactory();
        return true;
    case Protocol::RecallPreset:
        if (byteAt(request, TargetOffset) >= DeviceModel::PresetCount)
            return false;
        model->currentPreset = byteAt(request, TargetOffset);
        return true;
    case Protocol::WriteWindows:
    case Protocol::DeleteWindows:
    case Protocol::WritePreset:
    case Protocol::WritePresetLayers:
    case Protocol::WriteChannels:
    case Protocol::SetWindowSignal:
        return writePreset(request, model);
    default:
        return writeEntry(request, model);
    }
}

int WriteHandler::requiredLength(quint8 code)
{
    switch (code) {
    case Protocol::RestoreFactory:
        return Envelope;
    case Protocol::DeleteWindows:
    case Protocol::RecallPreset:
    case Protocol::AutoAdjust:
        return Envelope + 1;
    case Protocol::SetMainSignal:
    case Protocol::SwitchGroup1:
    case Protocol::SetPipSignal:
    case Protocol::SwitchGroup2:
    case Protocol::SetCaptionSignal:
    case Protocol::SetLight:
    case Protocol::SetContrast:
    case Protocol::SetColour:
        return Envelope + 2;
    case Protocol::SetWindowSignal:
        return Envelope + 3;
    case Protocol::SetCaptions:
        return Envelope + 5;
    case Protocol::SetRectA:
    case Protocol::SetRectB:
        return Envelope + 9;
    case Protocol::WriteNetwork:
        return Envelope + 19;
    case Protocol::WriteWindows:
        return Envelope + 2 + Preset::WindowSize + Preset::LayersSize;
    case Protocol::WriteWall:
        return Envelope + 1 + 16 + 2 + 4 + 8 * WallLayout::MaxCells;
    case Protocol::WritePreset:
        return Envelope + 1 + Preset::WindowsSize + Preset::LayersSize;
    case Protocol::WritePresetLayers:
        return Envelope + 1 + Preset::SourcesSize;
    case Protocol::WriteChannels:
        return Envelope + 1 + Preset::ChannelDataSize;
    default:
        return 0;
    }
}

// 9 = 01, address 10..13, 14 = 01, mask 15..18, 19 = 01, gateway 20..23,
// 24 = 01, the last three MAC bytes 25..27.
void WriteHandler::writeNetwork(const QByteArray &request, NetworkSettings &network)
{
    network.address = ipv4At(request, 10);
    network.mask = ipv4At(request, 15);
    network.gateway = ipv4At(request, 20);
    for (size_t i = 3; i < network.mac.size(); ++i)
        network.mac[i] = byteAt(request, 22 + int(i));
}

// 9 resolution, 10..25 output mode flags (all alike), 26 rows, 27 columns,
// cell k at 32 + 8 k: x, width, y, height.
void WriteHandler::writeWall(const QByteArray &request, WallLayout &wall)
{
    wall.resolution = byteAt(request, 9);
    wall.outputMode = byteAt(request, 10);
    wall.rows = byteAt(request, 26);
    wall.cols = byteAt(request, 27);
    for (int k = 0; k < WallLayout::MaxCells; ++k) {
        const std::array<quint16, 4> cell = rectAt(request, WallCellsOffset + 8 * k);
        wall.cells[size_t(k)] = QRect(cell[0], cell[2], cell[1], cell[3]);
    }
}

bool WriteHandler::writePreset(const QByteArray &request, DeviceModel *model)
{
    const int index = byteAt(request, TargetOffset);
    if (index >= DeviceModel::PresetCount)
        return false;
    Preset &preset = model->presets[size_t(index)];
    switch (byteAt(request, Protocol::CodeOffset)) {
    case Protocol::WriteWindows:
        writeWindows(request, preset);
        break;
    case Protocol::DeleteWindows:
        preset.clearWindows();
        break;
    case Protocol::WritePreset:
        preset.windows = request.mid(BlobOffset, Preset::WindowsSize);
        preset.layers = request.mid(BlobOffset + Preset::WindowsSize, Preset::LayersSize);
        break;
    case Protocol::WritePresetLayers:
        preset.sources = request.mid(BlobOffset, Preset::SourcesSize);
        break;
    case Protocol::WriteChannels:
        preset.channels = request.mid(BlobOffset, Preset::ChannelDataSize);
        break;
    default: // SetWindowSignal: 10 window number, 11 channel code
        if (byteAt(request, 10) >= Preset::SlotCount)
            return false;
        preset.windows[byteAt(request, 10) * Preset::SlotSize + 2] = request.at(11);
        break;
    }
    return true;
}

// One changed window: 10 = 01, its 36-byte block from 11 (byte 1 = 0 when
// the window was deleted), then the preset's 64 layer bytes. The window's
// per-screen sections follow; the device keeps no copy that a read returns.
void WriteHandler::writeWindows(const QByteArray &request, Preset &preset)
{
    const QByteArray block = request.mid(WindowBlockOffset, Preset::WindowSize);
    if (block.at(1) == 0)
        preset.clearWindow(quint8(block.at(0)));
    else
        preset.setWindow(block);
    preset.layers = request.mid(WindowBlockOffset + Preset::WindowSize, Preset::LayersSize);
}

// 9 names the entry (for light, contrast and colour: a channel code).
bool WriteHandler::writeEntry(const QByteArray &request, DeviceModel *model)
{
    const quint8 code = byteAt(request, Protocol::CodeOffset);
    const bool byChannel = code == Protocol::SetLight || code == Protocol::SetContrast
        || code == Protocol::SetColour;
    const int target = byteAt(request, TargetOffset);
    const int index = byChannel ? DeviceModel::entryOfChannel(target) : target;
    if (index < 0 || index >= DeviceModel::EntryCount)
        return false;
    setEntry(code, request, model->entries[size_t(index)]);
    return true;
}

void WriteHandler::setEntry(quint8 code, const QByteArray &request, InputEntry &entry)
{
    const quint8 value = byteAt(request, ValueOffset);
    switch (code) {
    case Protocol::SetMainSignal:
        entry.mainSignal = value;
        break;
    case Protocol::SwitchGroup1:
        entry.mode = value ? Modes::PipOn : Modes::SinglePicture;
        break;
    case Protocol::SetPipSignal:
        entry.auxSignal = value;
        entry.mode = Modes::Pip;
        break;
    case Protocol::SwitchGroup2:
        entry.mode = value ? Modes::CaptionsOn : Modes::SinglePicture;
        break;
    case Protocol::SetCaptionSignal:
        entry.auxSignal = value;
        entry.mode = Modes::Captions;
        break;
    case Protocol::SetRectA:
        entry.rectA = rectAt(request, ValueOffset);
        break;
    case Protocol::SetRectB:
        entry.rectB = rectAt(request, ValueOffset);
        break;
    case Protocol::SetLight:
        entry.light = value;
        break;
    case Protocol::SetContrast:
        entry.contrast = value;
        break;
    case Protocol::SetColour:
        entry.colour = value;
        break;
    case Protocol::SetCaptions:
        for (int i = 0; i < 4; ++i)
            entry.captions[size_t(i)] = byteAt(request, ValueOffset + i);
        break;
    default: // AutoAdjust changes nothing the device reports
        break;
    }
}
