#include "commandbuilder.h"

#include "framebuilder.h"
#include "linklog.h"
#include <protocol.h>

#include <devicedata.h>

// A write frame of fixed length: header, the byte at offset 9, the staged
// payload, the tag and the trailer.
struct CommandBuilder::FixedWrite
{
    enum Param { NoParam, NamedPreset, EntryIndex };
    enum Payload { NoPayload, First, Second };

    int type;
    quint8 code;
    int lengthField;
    Param param;
    Payload payload;
    bool freshTag;
};

namespace {

using FixedWrite = CommandBuilder::FixedWrite;

// The length fields are the device's; the caption frame's 23 is one short
// of its real size, and processors in the field expect exactly that.
constexpr FixedWrite FixedWrites[] = {
    {Command::WriteNetwork, Protocol::WriteNetwork, 38, FixedWrite::NoParam, FixedWrite::First, true},
    {Command::DeleteWindows, Protocol::DeleteWindows, 20, FixedWrite::NamedPreset, FixedWrite::NoPayload, false},
    {Command::WriteChannels, Protocol::WriteChannels, 1492, FixedWrite::NoParam, FixedWrite::Second, true},
    {Command::RestoreFactory, Protocol::RestoreFactory, 19, FixedWrite::NoParam, FixedWrite::NoPayload, true},
    {Command::SetWindowSignal, Protocol::SetWindowSignal, 22, FixedWrite::NamedPreset, FixedWrite::First, true},
    {Command::RecallPreset, Protocol::RecallPreset, 20, FixedWrite::NamedPreset, FixedWrite::NoPayload, true},
    {Command::SetMainSignal, Protocol::SetMainSignal, 21, FixedWrite::EntryIndex, FixedWrite::First, true},
    {Command::SetPipSignal, Protocol::SetPipSignal, 21, FixedWrite::EntryIndex, FixedWrite::First, true},
    {Command::SetCaptionSignal, Protocol::SetCaptionSignal, 21, FixedWrite::EntryIndex, FixedWrite::First, true},
    {Command::SetLight, Protocol::SetLight, 21, FixedWrite::NoParam, FixedWrite::First, true},
    {Command::SetContrast, Protocol::SetContrast, 21, FixedWrite::NoParam, FixedWrite::First, true},
    {Command::SetColour, Protocol::SetColour, 21, FixedWrite::NoParam, FixedWrite::First, true},
    {Command::SetCaptions, Protocol::SetCaptions, 23, FixedWrite::NoParam, FixedWrite::First, true},
    {Command::AutoAdjust, Protocol::AutoAdjust, 20, FixedWrite::EntryIndex, FixedWrite::NoPayload, true},
};

constexpr int RectangleFrameSize = 28;

} // namespace

CommandBuilder::CommandBuilder(QByteArray &checkSum)
    : m_checkSum(checkSum)
{
}

// A command that changes or recalls a preset and names none is the
// caller's fault: it goes nowhere rather than to preset 0 or 255.
QList<QByteArray> CommandBuilder::build(const LinkRequest &request)
{
    const int type = request.type;
    if (namesPreset(type) && (request.preset < 0 || request.preset >= DeviceData::Presets)) {
        qCWarning(lcLink) << "command" << type << "names no preset; not sent";
        return {};
    }
    if (const FixedWrite *write = fixedWrite(type))
        return {buildFixedWrite(*write, request)};

    switch (type) {
    case Command::WriteWall:
        return {FrameBuilder::wallFrame(request.wall, freshTag())};
    case Command::WriteWindows: {
        QByteArray params;
        params.append(static_cast<char>(request.preset)).append('\x01');
        return {FrameBuilder::sizedWriteFrame(Protocol::WriteWindows, params + request.payload,
                                              freshTag())};
    }
    case Command::WriteAllPresets:
        return buildAllPresets(request);
    case Command::SwitchPictureMode:
        return buildPictureMode(request);
    case Command::SetRectangles:
        return buildRectangles(request);
    default:
        return buildReads(type);
    }
}

int CommandBuilder::actingTimeMs(int type)
{
    switch (type) {
    case Command::SetMainSignal:
    case Command::SetPipSignal:
    case Command::SetCaptionSignal:
        return Command::SignalWait;
    case Command::SetRectangles:
        return Command::PictureWait;
    default:
        return 0;
    }
}

bool CommandBuilder::namesPreset(int type)
{
    if (type == Command::WriteWindows)
        return true;
    const FixedWrite *write = fixedWrite(type);
    return write && write->param == FixedWrite::NamedPreset;
}

// The wall, the factory state and the card versions take the device long;
// the time-outs their callers announce are the device's.
int CommandBuilder::frameTimeoutMs(int type)
{
    switch (type) {
    case Command::WriteWall:
        return Command::WallWait;
    case Command::RestoreFactory:
        return Command::FactoryWait;
    case Command::ReadVersions:
        return Command::ReadAllWait;
    default:
        return qMax<int>(Command::ShortWait, actingTimeMs(type));
    }
}

bool CommandBuilder::readBackOnLoss(int type)
{
    return actingTimeMs(type) > 0;
}

bool CommandBuilder::sentOnce(int type)
{
    return type == Command::WriteNetwork;
}

const CommandBuilder::FixedWrite *CommandBuilder::fixedWrite(int type)
{
    for (const FixedWrite &write : FixedWrites) {
        if (write.type == type)
            return &write;
    }
    return nullptr;
}

const QByteArray *CommandBuilder::payloadOf(const FixedWrite &write, const LinkRequest &request)
{
    switch (write.payload) {
    case FixedWrite::First:
        return &request.payload;
    case FixedWrite::Second:
        return &request.payload2;
    case FixedWrite::NoPayload:
        break;
    }
    return nullptr;
}

QByteArray CommandBuilder::buildFixedWrite(const FixedWrite &write, const LinkRequest &request)
{
    if (write.freshTag)
        freshTag();
    QByteArray params;
    if (write.param == FixedWrite::NamedPreset)
        params.append(static_cast<char>(request.preset));
    else if (write.param == FixedWrite::EntryIndex)
        params.append(static_cast<char>(request.entry));
    if (const QByteArray *payload = payloadOf(write, request))
        params.append(*payload);
    if (write.type == Command::RecallPreset)
        qCDebug(lcLink) << "dm_checkSum = " << m_checkSum.toHex(' ');
    // A tag that was never set (no settings file, or cleared before a sync)
    // still fills its eight bytes, so the frame is as long as it says.
    const QByteArray tag = m_checkSum.leftJustified(Protocol::TagSize, '\0', true);
    return FrameBuilder::writeFrame(write.code, write.lengthField, params, tag);
}

QList<QByteArray> CommandBuilder::buildPictureMode(const LinkRequest &request)
{
    if (request.entry < 0 || request.entry >= DeviceData::InCardEntries) {
        qCWarning(lcLink) << "picture mode for entry" << request.entry << "refused";
        return {};
    }
    const int wantedGroup = request.payload.isEmpty() ? 0 : request.payload.at(0);
    return FrameBuilder::pictureModeFrames(request.entry, request.entryMode, wantedGroup,
                                           freshTag());
}

QList<QByteArray> CommandBuilder::buildRectangles(const LinkRequest &request)
{
    const QByteArray &tag = freshTag();
    return {FrameBuilder::writeFrame(Protocol::SetRectA, RectangleFrameSize, request.payload, tag),
            FrameBuilder::writeFrame(Protocol::SetRectB, RectangleFrameSize, request.payload2, tag)};
}

QList<QByteArray> CommandBuilder::buildAllPresets(const LinkRequest &request)
{
    QList<QByteArray> frames;
    for (const LinkRequest::Preset &preset : request.presets.mid(0, DeviceData::Presets)) {
        frames << FrameBuilder::presetFrames(preset.preset, preset.windows, preset.sources,
                                             preset.channels, freshTag());
    }
    return frames;
}

QList<QByteArray> CommandBuilder::buildReads(int type)
{
    switch (type) {
    case Command::ReadVersions:
        return {FrameBuilder::readRequest(Protocol::ReadVersions)};
    case Command::ReadSignalFlags:
        return {FrameBuilder::readRequest(Protocol::ReadSignalFlags)};
    case Command::ReadNetwork:
        // The tag is renewed although this read does not carry it.
        freshTag();
        return {FrameBuilder::readRequest(Protocol::ReadNetwork)};
    case Command::ConnectionRead:
    case Command::VerifyRead:
        return FrameBuilder::connectionReads();
    case Command::ReadAllPresets:
        return FrameBuilder::presetReads();
    case Command::ReadInputCards:
        return {FrameBuilder::readRequest(Protocol::ReadInputCards)};
    default:
        return {};
    }
}

const QByteArray &CommandBuilder::freshTag()
{
    m_checkSum = m_tags.next();
    return m_checkSum;
}
