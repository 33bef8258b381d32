#ifndef REQUESTFRAMES_H
#define REQUESTFRAMES_H

#include <QIODevice>
#include <QtTest>

// Request frames as the host sends them, put together byte by byte, and
// the waiting for the device's bytes.
namespace RequestFrames {

inline QByteArray read(quint8 code, quint8 parameter = 0)
{
    QByteArray frame = QByteArray::fromHex("20010010" "04feaa01" "00" "0000000000" "aa20");
    frame[8] = char(code);
    frame[9] = char(parameter);
    return frame;
}

// 20 01 <length> 04 01 AA 01 <code> <payload> <tag> AA 20; lengthField
// overrides the length the frame announces.
inline QByteArray write(quint8 code, const QByteArray &payload, const QByteArray &tag, int lengthField = -1)
{
    const int length = 9 + payload.size() + 8 + 2;
    const int announced = lengthField < 0 ? length : lengthField;
    QByteArray frame = QByteArray::fromHex("200100000401aa01");
    frame[2] = char(announced >> 8);
    frame[3] = char(announced & 0xFF);
    frame.append(char(code));
    frame.append(payload);
    frame.append(tag);
    frame.append(QByteArray::fromHex("aa20"));
    return frame;
}

inline QByteArray tag(quint8 first)
{
    QByteArray bytes;
    for (int i = 0; i < 8; ++i)
        bytes.append(char(first + i));
    return bytes;
}

// Collects bytes from the device until there are at least count of them.
inline bool waitForBytes(QIODevice &device, QByteArray *received, int count, int timeoutMs = 5000)
{
    return QTest::qWaitFor([&] {
        received->append(device.readAll());
        return received->size() >= count;
    }, timeoutMs);
}

// The next reply as long as its header says (an acknowledgement, FF in
// byte 2, is 8 bytes), or nothing within the time.
inline QByteArray nextReply(QIODevice &device, QByteArray *received)
{
    if (!waitForBytes(device, received, 4))
        return {};
    const bool acknowledgement = quint8(received->at(2)) == 0xFF;
    const int length = acknowledgement ? 8 : quint8(received->at(2)) << 8 | quint8(received->at(3));
    if (!waitForBytes(device, received, length))
        return {};
    QByteArray reply = received->left(length);
    received->remove(0, length);
    return reply;
}

} // namespace RequestFrames

#endif // REQUESTFRAMES_H
