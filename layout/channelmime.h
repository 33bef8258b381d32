#ifndef CHANNELMIME_H
#define CHANNELMIME_H

#include <QByteArray>
#include <QMimeData>

// A source dragged from the source tree onto the wall canvas carries its
// channel code under this MIME type, as decimal text.
namespace ChannelMime {

inline QString type()
{
    return QStringLiteral("application/x-rz5300-channel");
}

inline void setChannel(QMimeData *mime, int code)
{
    mime->setData(type(), QByteArray::number(code));
}

// -1 when the data carries no channel.
inline int channel(const QMimeData *mime)
{
    bool ok = false;
    const int code = mime->data(type()).toInt(&ok);
    return ok && mime->hasFormat(type()) ? code : -1;
}

} // namespace ChannelMime

#endif // CHANNELMIME_H
