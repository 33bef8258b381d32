#include "replyassembler.h"

#include "linklog.h"
#include "replyshape.h"

#include <protocol.h>

namespace {

constexpr int LengthFieldEnd = 4; // bytes 0 to 3 make the header

bool plausibleLength(int length)
{
    return length >= Protocol::ShortReplySize && length <= ReplyShape::MaxLength;
}

} // namespace

void ReplyAssembler::append(const QByteArray &bytes)
{
    m_data.append(bytes);
}

QByteArray ReplyAssembler::takeReply(const ReplyShape *expected)
{
    for (;;) {
        skipToStart();
        if (m_data.size() < LengthFieldEnd)
            return {};
        const int length = announcedLength(0);
        if (!plausibleLength(length)) {
            qCWarning(lcLink) << "reply header announcing" << length << "bytes skipped";
            m_data.remove(0, 1);
            continue;
        }
        if (m_data.size() >= length) {
            if (ReplyShape::endsWell(m_data, 0, length)) {
                QByteArray reply = m_data.left(length);
                m_data.remove(0, length);
                return reply;
            }
            qCWarning(lcLink) << "a start of" << length << "bytes without its trailer skipped";
            m_data.remove(0, 1);
            continue;
        }
        // A start that may be the awaited reply gives way only to the awaited
        // reply: what its payload holds may look like a reply of another kind.
        const ReplyShape *awaited = expected && expected->mayStart(m_data, 0) ? expected : nullptr;
        const int later = completeAfterStart(awaited);
        if (later < 0)
            return {};
        qCWarning(lcLink) << later << "bytes of an unfinished start before a reply skipped";
        m_data.remove(0, later);
    }
}

void ReplyAssembler::clear()
{
    m_data.clear();
}

void ReplyAssembler::skipToStart()
{
    const int start = m_data.indexOf(static_cast<char>(Protocol::FrameStart));
    if (start == 0)
        return;
    const int skipped = start < 0 ? m_data.size() : start;
    if (skipped > 0)
        qCWarning(lcLink) << skipped << "bytes before a reply skipped";
    m_data.remove(0, skipped);
}

int ReplyAssembler::announcedLength(int start) const
{
    const auto byteAt = [this, start](int i) { return static_cast<quint8>(m_data.at(start + i)); };
    if (byteAt(2) == Protocol::ShortReplyMark)
        return Protocol::ShortReplySize;
    return byteAt(2) << 8 | byteAt(3);
}

bool ReplyAssembler::completeAt(int start) const
{
    if (m_data.size() - start < LengthFieldEnd)
        return false;
    const int length = announcedLength(start);
    return plausibleLength(length) && ReplyShape::endsWell(m_data, start, length);
}

// The first complete reply that starts after byte 0 and, given one, has
// the awaited shape; or -1.
int ReplyAssembler::completeAfterStart(const ReplyShape *awaited) const
{
    for (int i = m_data.indexOf(char(Protocol::FrameStart), 1); i > 0;
         i = m_data.indexOf(char(Protocol::FrameStart), i + 1)) {
        if (completeAt(i) && (!awaited || awaited->matches(m_data.mid(i, announcedLength(i)))))
            return i;
    }
    return -1;
}
