#include "replyform.h"

#include "framebytes.h"

#include <protocol.h>
#include <replylayout.h>

using FrameBytes::byteAt;
using FrameBytes::setByte;

QByteArray ReplyForm::applyTo(const QByteArray &reply) const
{
    if (reply.size() <= Protocol::HeaderSize || byteAt(reply, 2) == Protocol::ShortReplyMark)
        return reply;
    const quint8 code = byteAt(reply, Protocol::CodeOffset);
    QByteArray bytes = reply.left(reply.size() - Protocol::TrailerSize);
    if (shortest && ReplyLayout::bytesRead(code) > 0)
        bytes.truncate(ReplyLayout::bytesRead(code));
    bytes.append(QByteArray(spareBytes, '\0'));
    if (codeByte != Echo)
        setByte(bytes, Protocol::CodeOffset, codeByte);
    bytes.append(char(Protocol::Marker)).append(char(Protocol::FrameEnd));
    setByte(bytes, 2, int(bytes.size()) >> 8);
    setByte(bytes, 3, int(bytes.size()));
    return bytes;
}
