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
    enum Payload { NoPayload, SendBuf, SendBuf2 };

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
    {Command::WriteNetwork, Protocol::WriteNetwork, 38, FixedWrite::NoParam, FixedWrite::SendBuf, true},
    {Command::DeleteWindows, Protocol::DeleteWindows, 20, FixedWrite::NamedPreset, FixedWrite::NoPayload, false},
    {Command::WriteChannels, Protocol::WriteChannels, 1492, FixedWrite::NoParam, FixedWrite::SendBuf2, true},
    {Command::RestoreFactory, Protocol::RestoreFactory, 19, FixedWrite::NoParam, FixedWrite::NoPayload, true},
    {Command::SetWindowSignal, Protocol::SetWindowSignal, 22, FixedWrite::NamedPreset, FixedWrite::SendBuf, true},
    {Command::RecallPreset, Protocol::RecallPreset, 20, FixedWrite::NamedPreset, FixedWrite::NoPayload, true},
    {Command::SetMainSignal, Protocol::SetMainSignal, 21, FixedWrite::EntryIndex, FixedWrite::SendBuf, true},
    {Command::SetPipSignal, Protocol::SetPipSignal, 21, FixedWrite::EntryIndex, FixedWrite::SendBuf, true},
    {Command::SetCaptionSignal, Protocol::SetCaptionSignal, 21, FixedWrite::EntryIndex, FixedWrite::SendBuf, true},
    {Command::SetLight, Protocol::SetLight, 21, FixedWrite::NoParam, FixedWrite::SendBuf, true},
    {Command::SetContrast, Protocol::SetContrast, 21, FixedWrite::NoParam, FixedWrite::SendBuf, true},
    {Command::SetColour, Protocol::SetColour, 21, FixedWrite::NoParam, FixedWrite::SendBuf, true},
    {Command::SetCaptions, Protocol::SetCaptions, 23, FixedWrite::NoParam, FixedWrite::SendBuf, true},
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
QList<QByteArray> CommandBuilder::build(int type, const Staging &staging)
{
    if (namesPreset(type) && (staging.preset < 0 || staging.preset >= DeviceData::Presets)) {
        qCWarning(lcLink) << "command" << type << "names no preset; not sent";
        return {};
    }
    if (const FixedWrite *write = fixedWrite(type))
        return {buildFixedWrite(*write, staging)};

    switch (type) {
    case Command::WriteWall:
        return {FrameBuilder::wallFrame(staging.wall, freshTag())};
    case Command::WriteWindows: {
        QByteArray params;
        params.append(static_cast<char>(staging.preset)).append('\x01');
        return {FrameBuilder::sizedWriteFrame(Protocol::WriteWindows, params + staging.sendBuf,
                                              freshTag())};
    }
    case Command::WriteAllPresets:
        return buildAllPresets(staging);
    case Command::SwitchPictureMode:
        return buildPictureMode(staging);
    case Command::SetRectangles:
        return buildRectangles(staging);
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

const QByteArray *CommandBuilder::payloadOf(const FixedWrite &write, const Staging &staging)
{
    switch (write.payload) {
    case FixedWrite::SendBuf:
        return &staging.sendBuf;
    case FixedWrite::SendBuf2:
        return &staging.sendBuf2;
    case FixedWrite::NoPayload:
        break;
    }
    return nullptr;
}

QByteArray CommandBuilder::buildFixedWrite(const FixedWrite &write, const Staging &staging)
{
    if (write.freshTag)
        freshTag();
    QByteArray params;
    if (write.param == FixedWrite::NamedPreset)
        params.append(static_cast<char>(staging.preset));
    else if (write.param == FixedWrite::EntryIndex)
        params.append(static_cast<char>(staging.index));
    if (const QByteArray *payload = payloadOf(write, staging))
        params.append(*payload);
    if (write.type == Command::RecallPreset)
        qCDebug(lcLink) << "dm_checkSum = " << m_checkSum.toHex(' ');
    // A tag that was never set (no settings file, or cleared before a sync)
    // still fills its eight bytes, so the frame is as long as it says.
    const QByteArray tag = m_checkSum.leftJustified(Protocol::TagSize, '\0', true);
    return FrameBuilder::writeFrame(write.code, write.lengthField, params, tag);
}

QList<QByteArray> CommandBuilder::buildPictureMode(const Staging &staging)
{
    if (staging.index < 0 || staging.index >= DeviceData::InCardEntries) {
        qCWarning(lcLink) << "picture mode for entry" << staging.index << "refused";
        return {};
    }
    const int wantedGroup = staging.sendBuf.isEmpty() ? 0 : staging.sendBuf.at(0);
    return FrameBuilder::pictureModeFrames(staging.index, staging.entryMode, wantedGroup,
                                           freshTag());
}

QList<QByteArray> CommandBuilder::buildRectangles(const Staging &staging)
{
    const QByteArray &tag = freshTag();
    return {FrameBuilder::writeFrame(Protocol::SetRectA, RectangleFrameSize, staging.sendBuf, tag),
            FrameBuilder::writeFrame(Protocol::SetRectB, RectangleFrameSize, staging.sendBuf2, tag)};
}

QList<QByteArray> CommandBuilder::buildAllPresets(const Staging &staging)
{
    const int presets = qMin<int>(staging.allDataList.size(), DeviceData::Presets);
    QList<QByteArray> frames;
    for (int i = 0; i < presets; ++i) {
        frames << FrameBuilder::presetFrames(staging.presetList.value(i, i), staging.allDataList.at(i),
                                             staging.inDataList.value(i),
                                             staging.chDataList.value(i), freshTag());
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
