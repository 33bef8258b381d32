#include "replyshape.h"

#include <protocol.h>
#include <replylayout.h>

namespace {

static_assert(ReplyShape::MaxLength >= ReplyLayout::LongestRead + 128, "room for spare bytes");

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
    const int length = ReplyLayout::shortestReply(code);
    return length > 0 ? ReplyShape(code, length) : acknowledgement();
}

bool ReplyShape::endsWell(const QByteArray &bytes, int start, int length)
{
    const int end = start + length;
    return length >= Protocol::ShortReplySize && end <= bytes.size()
        && byteAt(bytes, end - 2) == Protocol::Marker && byteAt(bytes, end - 1) == Protocol::FrameEnd;
}

bool ReplyShape::matches(const QByteArray &reply) const
{
    if (!mayStart(reply, 0) || !endsWell(reply, 0, int(reply.size())))
        return false;
    if (isAcknowledgement())
        return reply.size() == Protocol::ShortReplySize;
    return (byteAt(reply, 2) << 8 | byteAt(reply, 3)) == reply.size();
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
    if (announced < m_length || announced > MaxLength)
        return false;
    return available <= Protocol::CodeOffset || codeFits(byteAt(bytes, start + Protocol::CodeOffset));
}

// Some devices echo the read's code in byte 8, others put something else
// there; only the code of another read says the reply is not ours.
bool ReplyShape::codeFits(quint8 byte8) const
{
    return byte8 == m_code || ReplyLayout::bytesRead(byte8) == 0;
}
