#ifndef REPLYFORM_H
#define REPLYFORM_H

#include <QByteArray>

// How a device lays out its read replies, where devices differ: spare bytes
// before the trailer, what byte 8 holds, and whether a reply carries more
// than the host reads. Acknowledgements are never changed.
struct ReplyForm
{
    static constexpr int Echo = -1;

    int spareBytes = 0;    // zero bytes before AA 20, counted in the length field
    int codeByte = Echo;   // byte 8; Echo repeats the read's code
    bool shortest = false; // only the bytes the host reads, then AA 20

    // The reply as a device of this form sends it.
    QByteArray applyTo(const QByteArray &reply) const;
};

#endif // REPLYFORM_H
