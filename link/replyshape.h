#ifndef REPLYSHAPE_H
#define REPLYSHAPE_H

#include <QByteArray>

// What answers a request. A write is answered by the 8-byte
// acknowledgement (0xFF in byte 2), which says nothing of what it
// acknowledges. A read is answered by a reply at least as long as the bytes
// the host reads of it and the trailer (ReplyLayout), at most MaxLength,
// ending in AA 20, whose byte 8 does not name another read: devices differ
// in spare bytes before the trailer and in what byte 8 holds, so neither the
// exact length nor an echo of the code is required.
class ReplyShape
{
public:
    // The longest reply taken: the longest the host reads (1867 bytes, the
    // first half of a preset read) with room for spare bytes; anything
    // announcing more is noise.
    static constexpr int MaxLength = 2048;

    ReplyShape() = default;
    static ReplyShape of(const QByteArray &request);
    static ReplyShape acknowledgement() { return {}; }

    // The shortest reply that answers, as the wire time is reckoned.
    int length() const { return m_length; }
    bool isAcknowledgement() const { return m_code == 0; }
    // A whole reply, as the assembler cut it out, answers the request.
    bool matches(const QByteArray &reply) const;
    // The bytes from start on may be the beginning of such a reply.
    bool mayStart(const QByteArray &bytes, int start) const;

    static bool endsWell(const QByteArray &bytes, int start, int length);

private:
    ReplyShape(quint8 code, int length);
    bool codeFits(quint8 byte8) const;

    quint8 m_code = 0; // 0: an acknowledgement
    int m_length = 8;
};

#endif // REPLYSHAPE_H
