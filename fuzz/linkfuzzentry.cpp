#include "linkfuzzentry.h"

#include <devicedata.h>
#include <framebuilder.h>
#include <protocol.h>
#include <replyassembler.h>
#include <replyparser.h>
#include <replyshape.h>

#include <algorithm>

namespace {

constexpr quint8 Codes[] = {
    Protocol::ReadInputCards, Protocol::ReadVersions, Protocol::ReadNetwork,
    Protocol::ReadStatus, Protocol::ReadPresetWindows, Protocol::ReadPresetBlocks,
    Protocol::ReadSignalFlags, Protocol::WriteWall, Protocol::WriteWindows,
    Protocol::DeleteWindows, Protocol::WritePreset, Protocol::WriteChannels,
    Protocol::RestoreFactory, Protocol::SetWindowSignal, Protocol::RecallPreset,
    Protocol::WritePresetLayers, Protocol::WriteNetwork, Protocol::SetMainSignal,
    Protocol::SwitchGroup1, Protocol::SetPipSignal, Protocol::SwitchGroup2,
    Protocol::SetCaptionSignal, Protocol::SetRectA, Protocol::SetRectB, Protocol::SetLight,
    Protocol::SetContrast, Protocol::SetColour, Protocol::SetCaptions, Protocol::AutoAdjust,
};
constexpr std::size_t CodeCount = sizeof(Codes) / sizeof(Codes[0]);
constexpr std::size_t SelectorSize = 3;

quint8 nextCode(quint8 code)
{
    if (code == Protocol::ReadPresetWindows)
        return Protocol::ReadPresetBlocks;
    if (code == Protocol::ReadPresetBlocks)
        return Protocol::ReadPresetWindows;
    return code;
}

} // namespace

void feedLinkInput(const std::uint8_t *data, std::size_t size)
{
    if (size < SelectorSize)
        return;
    const auto *bytes = reinterpret_cast<const char *>(data);
    quint8 code = Codes[data[0] % CodeCount];
    const std::size_t paramSize = std::min<std::size_t>(data[1] % 32, size - SelectorSize);
    const int piece = 1 + data[2] % 64;
    const QByteArray params(bytes + SelectorSize, static_cast<int>(paramSize));
    const QByteArray stream(bytes + SelectorSize + paramSize,
                            static_cast<int>(size - SelectorSize - paramSize));

    DeviceData record;
    ReplyParser::OwnState state;
    ReplyParser parser(state.over(record));
    ReplyAssembler assembler;
    for (int i = 0; i < stream.size(); i += piece) {
        assembler.append(stream.mid(i, piece));
        // The parser takes any reply, whether it answers the request or not.
        QByteArray request = FrameBuilder::sizedWriteFrame(code, params, {});
        ReplyShape awaited = ReplyShape::of(request);
        for (QByteArray reply = assembler.takeReply(&awaited); !reply.isEmpty();
             reply = assembler.takeReply(&awaited)) {
            parser.handle(request, reply);
            code = nextCode(code);
            request = FrameBuilder::sizedWriteFrame(code, params, {});
            awaited = ReplyShape::of(request);
        }
    }
}
