#ifndef CALLDISPATCHER_H
#define CALLDISPATCHER_H

#include "remoteactions.h"
#include "remotecall.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>

// Runs the calls of every remote client that ask the device one at a
// time, in the order they came, against the operator's actions. While the
// link is busy (a transfer holds the wait page, or a call of ours waits for
// the device) they wait in a bounded queue; past that they are answered
// busy. A call that asks the device is answered once the device has
// answered; one that only reads what the host holds is answered at once.
class CallDispatcher : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxQueued = 16;
    using Answer = std::function<void(const RemoteAnswer &)>;

    explicit CallDispatcher(RemoteActions *actions, QObject *parent = nullptr);

    // The caller is the client's connection (or endpoint): its calls still
    // waiting are dropped when it is destroyed or forgotten.
    void submit(const RemoteCall &call, const Answer &answer, QObject *caller);
    // The caller has gone: its waiting calls are dropped, not run.
    void forget(QObject *caller);

    // What the notifications and the OSC pushes carry.
    QJsonValue statusJson() const;
    QJsonValue marksJson() const;
    QJsonValue inputsJson() const;

private:
    struct Pending
    {
        RemoteCall call;
        Answer answer;
        QPointer<QObject> caller;
        QJsonValue result; // for a call waiting on the device
    };

    void run(const Pending &pending);
    void awaitDevice(Pending pending, RemoteActions::Outcome outcome, const QJsonValue &result);
    void settled(bool failed);
    void verified(const RemoteActions::Verify &result);
    void drain();
    QJsonValue presetResult() const;

    RemoteActions *m_actions;
    QList<Pending> m_queue;
    std::optional<Pending> m_running;
};

#endif // CALLDISPATCHER_H
