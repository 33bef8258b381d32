#include "replyassembler.h"

#include "linklog.h"
#include <protocol.h>

namespace {

constexpr int LengthFieldEnd = 4; // bytes 0 to 3 make the header

} // namespace

void ReplyAssembler::append(const QByteArray &bytes)
{
    m_data.append(bytes);
}

QByteArray ReplyAssembler::takeReply()
{
    for (;;) {
        skipToStart();
        if (m_data.size() < LengthFieldEnd)
            return {};
        const int length = announcedLength();
        if (length < Protocol::ShortReplySize) {
            qCWarning(lcLink) << "reply header announcing" << length << "bytes skipped";
            m_data.remove(0, 1);
            continue;
        }
        if (m_data.size() < length)
            return {};

        QByteArray reply = m_data.left(length);
        m_data.remove(0, length);
        if (!m_data.isEmpty() && static_cast<quint8>(m_data.at(0)) != Protocol::FrameStart) {
            qCWarning(lcLink) << m_data.size() << "bytes past the reply dropped";
            m_data.clear();
        }
        return reply;
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

int ReplyAssembler::announcedLength() const
{
    const auto byteAt = [this](int i) { return static_cast<quint8>(m_data.at(i)); };
    if (byteAt(2) == Protocol::ShortReplyMark)
        return Protocol::ShortReplySize;
    return byteAt(2) << 8 | byteAt(3);
}
