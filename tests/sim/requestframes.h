#ifndef REQUESTFRAMES_H
#define REQUESTFRAMES_H

#include <QByteArray>

// Request frames as the host sends them, put together byte by byte.
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

} // namespace RequestFrames

#endif // REQUESTFRAMES_H
