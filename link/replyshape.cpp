#include "replyshape.h"

#include <protocol.h>

namespace {

struct ReadReply
{
    quint8 code;
    int length;
};

// The replies to the reads, as long as the device sends them.
constexpr ReadReply ReadReplies[] = {
    {Protocol::ReadInputCards, 907},
    {Protocol::ReadVersions, 134},
    {Protocol::ReadNetwork, 31},
    {Protocol::ReadStatus, 362},
    {Protocol::ReadPresetWindows, ReplyShape::LongestReply},
    {Protocol::ReadPresetBlocks, 523},
    {Protocol::ReadSignalFlags, 19},
};

quint8 byteAt(const QByteArray &bytes, int i)
{
    return static_cast<quint8>(bytes.at(i));
}

} // namespace

ReplyShape::ReplyShape(quint8 code, int length)
    : m_code(code)
    , m_length(length)
{
}

ReplyShape ReplyShape::of(const QByteArray &request)
{
    if (request.size() <= Protocol::CodeOffset || byteAt(request, Protocol::KindOffset) != Protocol::ReadKind)
        return acknowledgement();
    const quint8 code = byteAt(request, Protocol::CodeOffset);
    const int length = readReplyLength(code);
    return length > 0 ? ReplyShape(code, length) : acknowledgement();
}

int ReplyShape::readReplyLength(quint8 code)
{
    for (const ReadReply &reply : ReadReplies) {
        if (reply.code == code)
            return reply.length;
    }
    return 0;
}

bool ReplyShape::endsWell(const QByteArray &bytes, int start, int length)
{
    const int end = start + length;
    return length >= Protocol::ShortReplySize && end <= bytes.size()
        && byteAt(bytes, end - 2) == Protocol::Marker && byteAt(bytes, end - 1) == Protocol::FrameEnd;
}

bool ReplyShape::matches(const QByteArray &reply) const
{
    return reply.size() == m_length && mayStart(reply, 0) && endsWell(reply, 0, m_length);
}

bool ReplyShape::mayStart(const QByteArray &bytes, int start) const
{
    const int available = bytes.size() - start;
    if (available < 1 || byteAt(bytes, start) != Protocol::FrameStart)
        return false;
    if (available < 4)
        return true;
    if (isAcknowledgement())
        return byteAt(bytes, start + 2) == Protocol::ShortReplyMark;
    const int announced = byteAt(bytes, start + 2) << 8 | byteAt(bytes, start + 3);
    if (announced != m_length)
        return false;
    return available <= Protocol::CodeOffset || byteAt(bytes, start + Protocol::CodeOffset) == m_code;
}
