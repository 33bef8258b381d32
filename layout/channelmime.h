#ifndef CHANNELMIME_H
#define CHANNELMIME_H

#include <QByteArray>
#include <QDropEvent>
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

// Where the channel was dropped, in the receiving widget. Qt 5 and Qt 6
// share no undeprecated name for it.
inline QPoint dropPoint(const QDropEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return event->position().toPoint();
#else
    return event->pos();
#endif
}

} // namespace ChannelMime

#endif // CHANNELMIME_H
