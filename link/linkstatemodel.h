#ifndef LINKSTATEMODEL_H
#define LINKSTATEMODEL_H

#include <QObject>

#include <optional>

// The state of one link to a processor, as the window and the remote
// control see it, and the one place its transitions are decided. Events
// come from the operator (open, close), the reconnection (retry) and the
// worker (the transport opened, failed or dropped; the connection read
// done); an event a state cannot take is a fault of the caller.
class LinkStateModel : public QObject
{
    Q_OBJECT

public:
    enum class State {
        Closed,      // no link, nothing trying
        Connecting,  // the operator opens it
        Reading,     // open, the connection read under way
        Ready,       // open and read: commands may go
        Lost,        // a link that was up dropped; retry or close decide
        Reconnecting // the program tries it again by itself
    };
    Q_ENUM(State)

    enum class Event { OpenAsked, CloseAsked, Retry, Opened, Failed, Dropped, ReadDone };
    Q_ENUM(Event)

    explicit LinkStateModel(QObject *parent = nullptr);

    // Where the event leads from the state; none when the state cannot
    // take it. wasReady: a connection of this session has completed.
    static std::optional<State> next(State from, Event event, bool wasReady);

    State state() const { return m_state; }
    // The state before the last change, and the event that made it.
    State previous() const { return m_previous; }
    Event cause() const { return m_cause; }
    // Frames can reach the device.
    bool isOpen() const { return m_state == State::Reading || m_state == State::Ready; }
    bool isReady() const { return m_state == State::Ready; }
    // A connection of this session has completed its read.
    bool wasReady() const { return m_wasReady; }

    // The worker reports the transport up or down; which event that is
    // depends on the state.
    void transportChanged(bool up);
    void handle(Event event);

signals:
    void stateChanged(LinkStateModel::State state);

private:
    State m_state = State::Closed;
    State m_previous = State::Closed;
    Event m_cause = Event::CloseAsked;
    bool m_wasReady = false;
};

#endif // LINKSTATEMODEL_H
