#ifndef OSCMESSAGE_H
#define OSCMESSAGE_H

#include "remotecall.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The OSC messages of the remote control, read and written by liblo: a
// datagram in becomes a RemoteCall or the error that answers it; replies
// and pushes go out as datagrams.
class OscMessage
{
public:
    static constexpr int MaxDatagramBytes = 1024;
    // What the program sends, never a request.
    static constexpr const char *CurrentPreset = "/rz5300/preset/current";
    static constexpr const char *Link = "/rz5300/link";
    static constexpr const char *Error = "/rz5300/error";

    struct Decoded
    {
        RemoteCall call;
        int replyPort = 0; // /rz5300/status ,i PORT: where replies go from now on
        int error = 0;     // RemoteError::Code, 0 when the call is good
        QString message;
        bool ignored = false; // a reply or push of ours: answering it could loop
    };

    static Decoded decode(const QByteArray &datagram);
    static QByteArray ints(const char *path, const QList<int> &values);
    static QByteArray error(int code, const QString &message);
};

#endif // OSCMESSAGE_H
