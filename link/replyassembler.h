#ifndef REPLYASSEMBLER_H
#define REPLYASSEMBLER_H

#include <QByteArray>

class ReplyShape;

// Cuts the byte stream of a transport into complete replies.
//
// A reply starts with 0x20, carries its total length in bytes 2 and 3
// (high byte first; 0xFF in byte 2 marks an 8-byte reply) and ends in
// AA 20. The protocol has no checksum, so a 0x20 in noise looks like a
// start: a start announcing fewer than 8 bytes or more than
// ReplyShape::MaxLength, or whose announced length does not end in AA 20,
// is skipped; and an unfinished start gives way to a complete reply behind
// it, to the awaited reply only when it may itself be the awaited one, so
// noise never swallows a reply.
class ReplyAssembler
{
public:
    void append(const QByteArray &bytes);
    // The next complete reply, or an empty array while none is complete.
    // expected is the reply awaited, if any.
    QByteArray takeReply(const ReplyShape *expected = nullptr);
    void clear();
    bool isEmpty() const { return m_data.isEmpty(); }

private:
    void skipToStart();
    int announcedLength(int start) const;
    bool completeAt(int start) const;
    int completeAfterStart(const ReplyShape *awaited) const;

    QByteArray m_data;
};

#endif // REPLYASSEMBLER_H
