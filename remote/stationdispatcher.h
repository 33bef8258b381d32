#ifndef STATIONDISPATCHER_H
#define STATIONDISPATCHER_H

#include "calldispatcher.h"
#include "remotestation.h"
#include "showdispatcher.h"

#include <QJsonValue>
#include <QObject>

#include <memory>
#include <vector>

// Where every remote call goes first: a call of one processor to that
// processor's own dispatcher (each link keeps its own order and queue),
// named or, when none is named, the one the window shows; a call of the
// station (its processors, its looks, its show) is answered here. A
// processor, look or sequence that is not there is refused before anything
// is asked.
class StationDispatcher : public QObject
{
    Q_OBJECT

public:
    explicit StationDispatcher(RemoteStation *station, QObject *parent = nullptr);
    ~StationDispatcher() override;

    void submit(const RemoteCall &call, const CallDispatcher::Answer &answer, QObject *caller);
    void forget(QObject *caller);

    RemoteStation *station() const { return m_station; }
    int count() const { return int(m_processors.size()); }
    CallDispatcher *processor(int index) const { return m_processors.at(size_t(index)).get(); }
    // What a notification says of the processor: its number and name.
    QJsonValue processorJson(int index) const;
    QJsonValue resultsJson(const QList<RemoteStation::Result> &results) const;

private:
    // The index, -1 when the station has no such processor (look).
    int processorIndex(const RemoteCall::Named &named) const;
    int lookIndex(const RemoteCall::Named &named, const QList<RemoteStation::Look> &looks) const;
    void runStationCall(const RemoteCall &call, const CallDispatcher::Answer &answer, QObject *caller);
    QJsonValue processorsJson() const;
    QJsonValue looksJson() const;
    void recallLook(const RemoteCall &call, const CallDispatcher::Answer &answer, QObject *caller);
    void storeLook(const RemoteCall &call, const CallDispatcher::Answer &answer);

    RemoteStation *m_station;
    ShowDispatcher m_show;
    std::vector<std::unique_ptr<CallDispatcher>> m_processors;
};

#endif // STATIONDISPATCHER_H
