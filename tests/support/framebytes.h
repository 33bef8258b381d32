#ifndef FRAMEBYTES_H
#define FRAMEBYTES_H

#include <QByteArrayList>
#include <QStringList>

// Hand-made device replies, and what the tests read of request frames.
namespace FrameBytes {

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

// The requests of the work asked of the program: it reads the input
// signals every 2 s on its own while the link is idle.
inline QByteArrayList operatorRequests(const QByteArrayList &requests)
{
    QByteArrayList kept;
    for (const QByteArray &request : requests) {
        if (request.size() <= 8 || quint8(request.at(8)) != 0x1C)
            kept << request;
    }
    return kept;
}

// Each frame from its command code on, `bytes` bytes in hex: "4902".
inline QStringList heads(const QByteArrayList &frames, int bytes = 2)
{
    QStringList heads;
    for (const QByteArray &frame : frames)
        heads << QString::fromLatin1(frame.mid(8, bytes).toHex());
    return heads;
}

// The reads of a connection: cards and status, then both halves of each
// preset when the device's data tag is not the host's.
inline QStringList connectionRead(bool withPresets)
{
    QStringList heads{"1100", "1900"};
    for (int preset = 0; withPresets && preset < 16; ++preset) {
        const QString number = QStringLiteral("%1").arg(preset, 2, 16, QLatin1Char('0'));
        heads << "1a" + number << "1b" + number;
    }
    return heads;
}

} // namespace FrameBytes

#endif // FRAMEBYTES_H
