#ifndef REMOTECALL_H
#define REMOTECALL_H

#include <QJsonValue>
#include <QString>
#include <QStringList>

// One request of a remote client, checked and decoded, whichever way it
// came in; presets and windows counted from 0.
struct RemoteCall
{
    enum Method {
        Status,
        PresetsList,
        Recall,
        Next,
        Previous,
        PresetWindows,
        SetSource,
        InputsList,
        Verify,
        Subscribe,
    };

    Method method = Status;
    int preset = -1;
    int window = -1;
    int input = -1;
    QStringList topics;

    // It asks the device for something, so it needs the link.
    bool needsLink() const
    {
        return method == Recall || method == Next || method == Previous || method == SetSource
            || method == Verify;
    }
};

// What answers a call: a result, or an error (RemoteError::Code) and why.
struct RemoteAnswer
{
    QJsonValue result;
    int error = 0;
    QString message;

    static RemoteAnswer failed(int code, const QString &message) { return {QJsonValue(), code, message}; }
};

// Why a request is answered with an error; the JSON-RPC codes, the first
// four the standard's own.
namespace RemoteError {

enum Code : int {
    ParseError = -32700,
    InvalidRequest = -32600,
    MethodNotFound = -32601,
    InvalidParams = -32602,
    Busy = -32001,
    NotLinked = -32002,
    Unauthorised = -32003,
    DeviceError = -32004,
    Refused = -32005,
    TooLarge = -32006,
};

} // namespace RemoteError

#endif // REMOTECALL_H
