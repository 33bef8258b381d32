#ifndef REPLYBYTES_H
#define REPLYBYTES_H

#include <QByteArray>

// Hand-made device replies for the link tests.
namespace ReplyBytes {

inline QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// A zero-filled reply of the given total length, with its header.
inline QByteArray reply(int length)
{
    QByteArray bytes(length, '\0');
    bytes[0] = 0x20;
    bytes[2] = static_cast<char>(length >> 8);
    bytes[3] = static_cast<char>(length & 0xFF);
    return bytes;
}

} // namespace ReplyBytes

#endif // REPLYBYTES_H
