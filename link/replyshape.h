#ifndef REPLYSHAPE_H
#define REPLYSHAPE_H

#include <QByteArray>

// What answers a request. A write is answered by the 8-byte
// acknowledgement (0xFF in byte 2), which says nothing of what it
// acknowledges; a read by a reply carrying the read's command code at
// offset 8 and exactly the length the catalogue gives that reply. Every
// reply ends in AA 20.
class ReplyShape
{
public:
    // The longest reply the device sends (the first half of a preset read).
    static constexpr int LongestReply = 1867;

    ReplyShape() = default;
    static ReplyShape of(const QByteArray &request);
    static ReplyShape acknowledgement() { return {}; }

    int length() const { return m_length; }
    bool isAcknowledgement() const { return m_code == 0; }
    // A whole reply, as the assembler cut it out, answers the request.
    bool matches(const QByteArray &reply) const;
    // The bytes from start on may be the beginning of such a reply.
    bool mayStart(const QByteArray &bytes, int start) const;

    // The catalogue's length of the reply to a read of this code; 0 for a
    // code the device answers with an acknowledgement.
    static int readReplyLength(quint8 code);
    static bool endsWell(const QByteArray &bytes, int start, int length);

private:
    ReplyShape(quint8 code, int length);

    quint8 m_code = 0; // 0: an acknowledgement
    int m_length = 8;
};

#endif // REPLYSHAPE_H
