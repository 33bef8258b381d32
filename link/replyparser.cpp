#include "replyparser.h"

#include "framebuilder.h"
#include "linklog.h"

#include <blocklayout.h>
#include <devicedata.h>
#include <devicelimits.h>
#include <messagecode.h>
#include <modes.h>
#include <protocol.h>
#include <replylayout.h>
#include <resolution.h>

#include <array>
#include <utility>

namespace {

constexpr int EntryOffset = Protocol::ParamOffset;
constexpr int ValueOffset = EntryOffset + 1;

using namespace ReplyLayout;

constexpr int WindowChunkSize = BlockLayout::SlotSize;
constexpr int WindowTailSize = BlockLayout::SourceSize;
constexpr int WindowSlots = BlockLayout::Slots;
constexpr quint32 AllPresets = (1u << DeviceData::Presets) - 1;

// Bytes of the request that the entry handlers read
constexpr int EntryAndValueSize = ValueOffset + 1;
constexpr int EntryAndCaptionsSize = EntryOffset + 5;
constexpr int EntryAndRectangleSize = EntryOffset + 9;

// Network settings write request
constexpr int NetworkFrameSize = 28;

int byteAt(const QByteArray &data, int i)
{
    return static_cast<quint8>(data.at(i));
}

int word16At(const QByteArray &data, int i)
{
    return byteAt(data, i) | byteAt(data, i + 1) << 8;
}

QString dottedAt(const QByteArray &data, int i)
{
    return QStringLiteral("%1.%2.%3.%4")
        .arg(byteAt(data, i)).arg(byteAt(data, i + 1)).arg(byteAt(data, i + 2)).arg(byteAt(data, i + 3));
}

QString macAt(const QByteArray &data, int i)
{
    const auto hex = [&](int k) {
        return QStringLiteral("%1").arg(byteAt(data, i + k), 2, 16, QLatin1Char('0')).toUpper();
    };
    return QStringLiteral("%1-%2-%3").arg(hex(0), hex(1), hex(2));
}

} // namespace

ReplyParser::ReplyParser(const State &state, QObject *parent)
    : QObject(parent)
    , m_state(state)
{
}

const ReplyParser::Handler *ReplyParser::handlerFor(quint8 code)
{
    static const Handler handlers[] = {
        {Protocol::ReadStatus, 0, false, &ReplyParser::deviceStatus},
        {Protocol::ReadNetwork, 0, false, &ReplyParser::readNetwork},
        {Protocol::WriteNetwork, NetworkFrameSize, false, &ReplyParser::writeNetwork},
        {Protocol::ReadPresetWindows, EntryOffset + 1, false, &ReplyParser::presetWindows},
        {Protocol::ReadPresetBlocks, EntryOffset + 1, false, &ReplyParser::presetBlocks},
        {Protocol::ReadVersions, 0, false, &ReplyParser::versions},
        {Protocol::ReadInputCards, 0, false, &ReplyParser::inputCards},
        {Protocol::SetMainSignal, EntryAndValueSize, true, &ReplyParser::mainSignal},
        {Protocol::SetPipSignal, EntryAndValueSize, true, &ReplyParser::pipSignal},
        {Protocol::SwitchGroup1, EntryAndValueSize, true, &ReplyParser::group1Mode},
        {Protocol::SwitchGroup2, EntryAndValueSize, true, &ReplyParser::group2Mode},
        {Protocol::SetCaptions, EntryAndCaptionsSize, true, &ReplyParser::captions},
        {Protocol::SetCaptionSignal, EntryAndValueSize, true, &ReplyParser::captionSignal},
        {Protocol::SetRectA, EntryAndRectangleSize, true, &ReplyParser::rectangleA},
        {Protocol::SetRectB, EntryAndRectangleSize, true, &ReplyParser::rectangleB},
        {Protocol::SetLight, EntryAndValueSize, false, &ReplyParser::pictureValue},
        {Protocol::SetContrast, EntryAndValueSize, false, &ReplyParser::pictureValue},
        {Protocol::SetColour, EntryAndValueSize, false, &ReplyParser::pictureValue},
        {Protocol::RestoreFactory, 0, false, &ReplyParser::factoryData},
        {Protocol::WriteWall, 0, false, &ReplyParser::wallAccepted},
        {Protocol::ReadSignalFlags, 0, false, &ReplyParser::signalFlags},
    };
    for (const Handler &handler : handlers) {
        if (handler.code == code)
            return &handler;
    }
    return nullptr;
}

// The request may be one the record cannot take (an entry past the last);
// its reply is then counted as done with nothing stored.
bool ReplyParser::fits(const Handler &handler, const QByteArray &sent)
{
    if (sent.size() < handler.sentSize)
        return false;
    return !handler.readsEntry || byteAt(sent, EntryOffset) < DeviceData::InCardEntries;
}

ReplyParser::Outcome ReplyParser::handle(const QByteArray &sent, const QByteArray &reply)
{
    if (sent.size() <= Protocol::CodeOffset)
        return {};
    const quint8 code = static_cast<quint8>(sent.at(Protocol::CodeOffset));
    const Handler *handler = handlerFor(code);
    if (!handler)
        return {};
    if (reply.size() < bytesRead(code)) {
        qCWarning(lcLink).nospace() << "reply of " << reply.size() << " bytes to request 0x"
                                    << Qt::hex << code << " not taken";
        return {false, {}};
    }
    if (!fits(*handler, sent)) {
        qCWarning(lcLink).nospace() << "request 0x" << Qt::hex << code << " (" << Qt::dec
                                    << sent.size() << " bytes) names nothing the record holds";
        return {};
    }
    m_taken = true;
    (this->*handler->run)(sent, reply);
    return {std::exchange(m_taken, true), std::exchange(m_followUp, {})};
}

void ReplyParser::edit(const Edit &change)
{
    change(m_state.data);
    emit edited(change);
}

void ReplyParser::deviceStatus(const QByteArray &, const QByteArray &reply)
{
    emit isFistConnect();
    const QByteArray tag = reply.mid(StatusTagOffset, Protocol::TagSize);
    edit([reply](DeviceData &data) {
        for (int k = 0; k < DeviceData::InCardEntries; ++k)
            data.inCards[k].present = byteAt(reply, PresenceLastByte - k / 8) >> (k % 8) & 1;
        for (int k = 0; k < Limits::InputSlots; ++k)
            data.inCards[k].cardType = byteAt(reply, CardTypeLastByte - k / 4) >> (2 * (k % 4)) & 3;
    });
    emit repalceInCardMes();

    if (tag == m_state.lastCheckSum) {
        emit repalceAllPage();
        return;
    }
    // The device holds other data than the host: read all presets. Its tag
    // becomes the host's only once every preset is in, so a read cut short
    // leaves the host's data untrusted and the next connection reads again.
    m_state.tagTrusted = false;
    m_state.lastCheckSum.clear();
    m_state.checkSum.clear();
    m_deviceTag = tag;
    m_presetsRead = 0;
    m_followUp = FrameBuilder::presetReads();
    const int resolution = byteAt(reply, ResolutionOffset);
    const int outMode = byteAt(reply, OutputModeOffset) == 0 ? Modes::SingleOutput : Modes::DualOutput;
    edit([resolution, outMode](DeviceData &data) {
        data.outResolution = resolution;
        data.outMode2 = outMode;
        data.setResolution(resolution);
    });
    edit(wallOf(reply));
    emit replaceWinPages();
}

ReplyParser::Edit ReplyParser::wallOf(const QByteArray &reply)
{
    const int rows = byteAt(reply, WallRowsOffset);
    const int cols = byteAt(reply, WallRowsOffset + 1);
    if (!DeviceData::isValidWallSize(rows, cols)) {
        qCWarning(lcLink) << "wall of" << rows << "x" << cols << "replaced by the default wall";
        return [](DeviceData &data) {
            data.setDefaultWall();
            data.curModel = 0;
        };
    }
    return [reply, rows, cols](DeviceData &data) {
        data.setWallSize(rows, cols);
        for (int c = 0; c < cols; ++c)
            data.colWidths[c] = word16At(reply, WallWidthOffset + WallCellSize * c);
        for (int r = 0; r < rows; ++r)
            data.rowHeights[r] = word16At(reply, WallHeightOffset + WallCellSize * cols * r);
        const int preset = byteAt(reply, CurrentPresetOffset);
        data.curModel = preset < DeviceData::Presets ? preset : 0;
    };
}

void ReplyParser::readNetwork(const QByteArray &, const QByteArray &reply)
{
    m_state.ip = dottedAt(reply, AddressOffset);
    m_state.mask = dottedAt(reply, MaskOffset);
    m_state.gateway = dottedAt(reply, GatewayOffset);
    m_state.mac = macAt(reply, MacTailOffset);
    m_state.port = byteAt(reply, PortOffset);
    qCDebug(lcLink) << m_state.ip << m_state.mask << m_state.gateway << m_state.mac
                    << m_state.port;
    emit repalceConnect();
}

void ReplyParser::writeNetwork(const QByteArray &sent, const QByteArray &)
{
    m_state.ip = dottedAt(sent, 10);
    m_state.mask = dottedAt(sent, 15);
    m_state.gateway = dottedAt(sent, 20);
    m_state.mac = macAt(sent, 25);
    emit send_explain_end(Message::RestartDevice);
}

void ReplyParser::presetWindows(const QByteArray &sent, const QByteArray &reply)
{
    m_state.buffer = reply;
    m_bufferPreset = byteAt(sent, EntryOffset);
}

void ReplyParser::presetBlocks(const QByteArray &sent, const QByteArray &reply)
{
    const int m = byteAt(sent, EntryOffset);
    const QByteArray &first = m_state.buffer;
    if (m >= DeviceData::Presets || m != m_bufferPreset) {
        qCWarning(lcLink) << "windows of preset" << m << "not taken: the first read held preset"
                          << m_bufferPreset;
        m_taken = false;
        return;
    }
    QList<QByteArray> blocks;
    for (int k = 0; k < WindowSlots; ++k) {
        const QByteArray block = first.mid(WindowsOffset + WindowChunkSize * k, WindowChunkSize)
            + reply.mid(SourcesOffset + WindowTailSize * k, WindowTailSize);
        if (block.at(1) != 0)
            blocks.append(block);
    }
    std::array<int, DeviceData::LayerSlots> layers{};
    for (int j = 0; j < DeviceData::LayerSlots; ++j)
        layers[size_t(j)] = byteAt(first, LayersOffset + j);
    edit([m, blocks, layers](DeviceData &data) {
        data.modelWins[m].clear();
        for (const QByteArray &block : blocks)
            data.addWindow(m, block);
        data.modelWinCount[m] = int(blocks.size());
        data.modelLayer[m] = layers;
    });
    m_presetsRead |= 1u << m;
    if (m != DeviceData::Presets - 1)
        return;
    if (!m_deviceTag.isEmpty() && m_presetsRead == AllPresets) {
        m_state.lastCheckSum = m_deviceTag;
        m_state.checkSum = m_deviceTag;
        m_state.tagTrusted = true;
    }
    m_deviceTag.clear();
    emit replaceWins();
}

// A card that is not a one-channel card gives its type and presence for a
// version: read from the record the edit is made to.
void ReplyParser::versions(const QByteArray &, const QByteArray &reply)
{
    edit([reply](DeviceData &data) {
        const int system = SystemVersionOffset;
        data.sysVersion = {byteAt(reply, system), byteAt(reply, system + 1), byteAt(reply, system + 2)};
        for (int k = 0; k < Limits::InputSlots; ++k) {
            const InCardEntry &entry = data.inCards[k];
            DeviceData::Version &version = data.inVersion[k];
            if (entry.cardType == 0) {
                const int i = InVersionOffset + 3 * k;
                version = {byteAt(reply, i), byteAt(reply, i + 1), byteAt(reply, i + 2)};
            } else {
                version[0] = -entry.cardType;
                version[1] = entry.present;
            }
        }
        for (int k = 0; k < Limits::OutputSlots; ++k) {
            const int i = OutVersionOffset + 2 * k;
            data.outVersion[k] = {byteAt(reply, i), byteAt(reply, i + 1), -1};
        }
    });
    emit repalceVersion();
}

void ReplyParser::inputCards(const QByteArray &, const QByteArray &reply)
{
    edit([reply](DeviceData &data) {
        for (int k = 0; k < DeviceData::InCardEntries; ++k) {
            const int chunk = Protocol::ParamOffset + InCardChunkSize * k;
            data.setInCardChunk(k, reply.mid(chunk, InCardChunkSize));
        }
    });
}

void ReplyParser::mainSignal(const QByteArray &sent, const QByteArray &)
{
    const int e = byteAt(sent, EntryOffset);
    const int value = byteAt(sent, ValueOffset);
    edit([e, value](DeviceData &data) { data.inCards[e].mainSignal = value; });
    emit repalceInCardMainSingle(e);
}

void ReplyParser::pipSignal(const QByteArray &sent, const QByteArray &)
{
    setAuxSignal(sent, Modes::Pip);
    emit repalceInCardPIP();
}

void ReplyParser::setAuxSignal(const QByteArray &sent, int mode)
{
    const int e = byteAt(sent, EntryOffset);
    const int value = byteAt(sent, ValueOffset);
    edit([e, value, mode](DeviceData &data) {
        data.inCards[e].auxSignal = value;
        data.inCards[e].mode = mode;
    });
}

void ReplyParser::group1Mode(const QByteArray &sent, const QByteArray &)
{
    setGroupMode(sent, Modes::PipOn);
}

void ReplyParser::group2Mode(const QByteArray &sent, const QByteArray &)
{
    setGroupMode(sent, Modes::CaptionsOn);
}

void ReplyParser::setGroupMode(const QByteArray &sent, int onMode)
{
    const int e = byteAt(sent, EntryOffset);
    const int mode = byteAt(sent, ValueOffset) != 0 ? onMode : Modes::SinglePicture;
    edit([e, mode](DeviceData &data) { data.inCards[e].mode = mode; });
    emit repalceInCardMainSingle(e);
}

void ReplyParser::captions(const QByteArray &sent, const QByteArray &)
{
    const int e = byteAt(sent, EntryOffset);
    std::array<int, 4> values{};
    for (int i = 0; i < 4; ++i)
        values[size_t(i)] = byteAt(sent, ValueOffset + i);
    edit([e, values](DeviceData &data) { data.inCards[e].captionValues = values; });
    emit repalceInCardText();
}

void ReplyParser::captionSignal(const QByteArray &sent, const QByteArray &)
{
    setAuxSignal(sent, Modes::Captions);
    emit repalceInCardText();
}

void ReplyParser::rectangleA(const QByteArray &sent, const QByteArray &)
{
    setRectangle(sent, &InCardEntry::rectA);
}

void ReplyParser::rectangleB(const QByteArray &sent, const QByteArray &)
{
    setRectangle(sent, &InCardEntry::rectB);
    emit repalceInCardPIP();
}

void ReplyParser::setRectangle(const QByteArray &sent, std::array<int, 4> InCardEntry::*rectangle)
{
    const int e = byteAt(sent, EntryOffset);
    std::array<int, 4> rect{};
    for (int i = 0; i < 4; ++i)
        rect[size_t(i)] = word16At(sent, EntryOffset + 1 + 2 * i);
    edit([e, rectangle, rect](DeviceData &data) { data.inCards[e].*rectangle = rect; });
}

// Light, contrast and colour name their input by channel code; the record
// keeps what the device confirmed, so the picture dialog opens on it.
void ReplyParser::pictureValue(const QByteArray &sent, const QByteArray &)
{
    const int entry = DeviceData::channelNumber(byteAt(sent, EntryOffset));
    if (entry >= DeviceData::InCardEntries)
        return;
    int InCardEntry::*const fields[] = {&InCardEntry::light, &InCardEntry::contrast, &InCardEntry::color};
    int InCardEntry::*const field = fields[byteAt(sent, Protocol::CodeOffset) - Protocol::SetLight];
    const int value = byteAt(sent, ValueOffset);
    edit([entry, field, value](DeviceData &data) { data.inCards[size_t(entry)].*field = value; });
}

void ReplyParser::factoryData(const QByteArray &, const QByteArray &)
{
    qCDebug(lcLink) << "reserve init data";
    edit([](DeviceData &data) {
        data.outResolution = Resolution::FactoryCode;
        data.outMode2 = Modes::SingleOutput;
        data.setResolution(data.outResolution);
        data.setDefaultWall();
        data.curModel = 0;
        data.clearModelViews();
    });
    emit replaceWinPages();
    edit([](DeviceData &data) {
        for (InCardEntry &entry : data.inCards) {
            if (entry.present != 0)
                entry.applyFactoryDefaults();
        }
    });
    emit repalceInCardMes();
    emit repalceCard();
}

void ReplyParser::wallAccepted(const QByteArray &, const QByteArray &)
{
    emit repalceeSendPage();
}

void ReplyParser::signalFlags(const QByteArray &, const QByteArray &reply)
{
    edit([reply](DeviceData &data) {
        for (int k = 0; k < DeviceData::InCardEntries; ++k) {
            const int flags = byteAt(reply, SignalFlagsLastByte - k / 4);
            const int i = k % 4;
            data.inCards[k].sigFlagA = flags >> (2 * i) & 1;
            data.inCards[k].sigFlagB = flags >> (2 * i + 1) & 1;
        }
    });
    emit repalceInCardMes();
}
