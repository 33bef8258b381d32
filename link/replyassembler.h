#ifndef REPLYASSEMBLER_H
#define REPLYASSEMBLER_H

#include <QByteArray>

// Cuts the byte stream of a transport into complete replies.
//
// A reply starts with 0x20 and carries its total length in bytes 2 and 3
// (high byte first); 0xFF in byte 2 marks an 8-byte reply. Noise before a
// reply is skipped up to the next 0x20, a header announcing less than 8
// bytes counts as noise, and bytes that run past a reply are kept only when
// they start the next one, so a stray byte never blocks the link.
class ReplyAssembler
{
public:
    void append(const QByteArray &bytes);
    // The next complete reply, or an empty array while none is complete.
    QByteArray takeReply();
    void clear();
    bool isEmpty() const { return m_data.isEmpty(); }

private:
    void skipToStart();
    int announcedLength() const;

    QByteArray m_data;
};

#endif // REPLYASSEMBLER_H
