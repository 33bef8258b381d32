#ifndef REMOTECALL_H
#define REMOTECALL_H

#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// One request of a remote client, checked and decoded, whichever way it
// came in; presets and windows counted from 0, processors and looks named
// as the client gave them.
struct RemoteCall
{
    static constexpr int MaxProcessors = 8;
    static constexpr int MaxLooks = 64;
    static constexpr int MaxNameLength = 32;

    // A processor or a look by its name or its number from 1; neither
    // given: the processor the window shows.
    struct Named
    {
        int number = 0;
        QString name;
        bool given() const { return number > 0 || !name.isEmpty(); }
    };
    struct Entry
    {
        Named processor;
        int preset = 0;
    };

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
        ProcessorsList,
        LooksList,
        LookRecall,
        LookStore,
    };

    Method method = Status;
    int preset = -1;
    int window = -1;
    int input = -1;
    QStringList topics;
    Named processor;
    Named look;
    QString name;         // of a look to store
    QList<Entry> entries; // a look's presets; none: those on air

    // It is the station's, not one processor's.
    bool stationWide() const
    {
        return method == ProcessorsList || method == LooksList || method == LookRecall || method == LookStore;
    }

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
