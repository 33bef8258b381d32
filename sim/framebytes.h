#ifndef FRAMEBYTES_H
#define FRAMEBYTES_H

#include <QByteArray>

// Byte access inside frames: single bytes as unsigned values and 16-bit
// values low byte first, as the processor stores them.
namespace FrameBytes {

inline quint8 byteAt(const QByteArray &bytes, int offset)
{
    return static_cast<quint8>(bytes.at(offset));
}

inline void setByte(QByteArray &bytes, int offset, int value)
{
    bytes[offset] = static_cast<char>(value & 0xFF);
}

inline void orByte(QByteArray &bytes, int offset, int bits)
{
    setByte(bytes, offset, byteAt(bytes, offset) | bits);
}

inline quint16 le16At(const QByteArray &bytes, int offset)
{
    return quint16(byteAt(bytes, offset) | byteAt(bytes, offset + 1) << 8);
}

inline void setLe16(QByteArray &bytes, int offset, int value)
{
    setByte(bytes, offset, value);
    setByte(bytes, offset + 1, value >> 8);
}

} // namespace FrameBytes

#endif // FRAMEBYTES_H
