#ifndef SHOWDISPATCHER_H
#define SHOWDISPATCHER_H

#include "remotecall.h"
#include "remotestation.h"

#include <QJsonValue>

// The station's show as remote clients reach it: its sequences, each by
// name or number as looks are, and its journal. Every call is answered at
// once, never behind a processor's queue.
class ShowDispatcher
{
public:
    explicit ShowDispatcher(RemoteStation *station);

    RemoteAnswer sequencesList() const;
    RemoteAnswer store(const RemoteCall &call);
    // start, pause, resume or stop, as the call's method says.
    RemoteAnswer control(const RemoteCall &call);
    RemoteAnswer queryJournal(const RemoteCall &call) const;
    // What sequences.list, the controls and sequence.changed tell of one.
    static QJsonValue sequenceJson(const RemoteStation::SequenceStatus &status);

private:
    static QJsonValue entryJson(const RemoteStation::JournalEntry &entry);

    RemoteStation *m_station;
};

#endif // SHOWDISPATCHER_H
