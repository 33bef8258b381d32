#ifndef RPCCODEC_H
#define RPCCODEC_H

#include "remotecall.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

// JSON-RPC 2.0 as the WebSocket clients speak it: one request a message,
// decoded into a RemoteCall or the error that answers it, and the
// messages that go back. Batches are not taken.
class RpcCodec
{
public:
    static constexpr int MaxMessageBytes = 64 * 1024;
    static constexpr int MaxTopics = 8;

    struct Decoded
    {
        QJsonValue id;       // null when the request had none or was unreadable
        bool notification = false; // no id: nothing is answered
        RemoteCall call;
        int error = 0;       // RemoteError::Code, 0 when the call is good
        QString message;
    };

    static Decoded decode(const QByteArray &message);
    static QByteArray result(const QJsonValue &id, const QJsonValue &result);
    static QByteArray error(const QJsonValue &id, int code, const QString &message);
    static QByteArray notification(const QString &method, const QJsonValue &params);
    // The notifications a client may subscribe to.
    static const QStringList &topics();
};

#endif // RPCCODEC_H
