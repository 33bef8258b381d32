#ifndef REMOTECALL_H
#define REMOTECALL_H

#include "journalfilter.h"

#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

// One request of a remote client, checked and decoded, whichever way it
// came in; presets and windows counted from 0, processors, looks and
// sequences named as the client gave them.
struct RemoteCall
{
    static constexpr int MaxProcessors = 8;
    static constexpr int MaxLooks = 64;
    static constexpr int MaxNameLength = 32;
    static constexpr int MaxSequences = 64;
    static constexpr int MaxSequenceNameLength = 64;

    // A processor, a look or a sequence by its name or its number from 1;
    // neither given: the processor the window shows.
    struct Named
    {
        int number = 0;
        QString name;
        bool given() const { return number > 0 || !name.isEmpty(); }
        // Its index among the names (matched whatever their case), -1
        // when it is not there.
        int indexIn(const QStringList &names) const
        {
            if (number > 0)
                return number <= names.size() ? number - 1 : -1;
            for (int i = 0; i < names.size(); ++i) {
                if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                    return i;
            }
            return -1;
        }
        // As the client gave it, for the error that names it.
        QString text() const
        {
            return name.isEmpty() ? QString::number(number) : QLatin1Char('"') + name + QLatin1Char('"');
        }
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
        SequencesList,
        SequenceStore,
        SequenceStart,
        SequencePause,
        SequenceResume,
        SequenceStop,
        JournalQuery,
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
    Named sequence;
    QJsonObject definition; // of a sequence to store, as the client gave it
    JournalFilter journal;  // a processor named or numbered from 1 waits in processor
    QString client;         // who asks, as the journal names it: its address and name

    // It is the station's, not one processor's.
    bool stationWide() const
    {
        return method == ProcessorsList || method == LooksList || method == LookRecall || method == LookStore
            || isSequenceControl() || method == SequencesList || method == SequenceStore || method == JournalQuery;
    }

    bool isSequenceControl() const
    {
        return method == SequenceStart || method == SequencePause || method == SequenceResume || method == SequenceStop;
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
    // A processor, look or sequence that is not there.
    static RemoteAnswer unknown(const QString &what, const RemoteCall::Named &named);
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

inline RemoteAnswer RemoteAnswer::unknown(const QString &what, const RemoteCall::Named &named)
{
    return failed(RemoteError::InvalidParams, QStringLiteral("no %1 %2").arg(what, named.text()));
}

#endif // REMOTECALL_H
