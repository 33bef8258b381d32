#include "linkstatemodel.h"

#include "linklog.h"

LinkStateModel::LinkStateModel(QObject *parent)
    : QObject(parent)
{
}

// Closed takes a late report of the worker: the operator closed the link
// while it was opening, and the close posted with it is still on its way.
std::optional<LinkStateModel::State> LinkStateModel::next(State from, Event event, bool wasReady)
{
    using S = State;
    using E = Event;
    switch (event) {
    case E::OpenAsked: // from an open link too: the worker closes it first
    case E::CloseAsked:
        return event == E::OpenAsked ? S::Connecting : S::Closed;
    case E::Retry:
        if (from == S::Lost || from == S::Reconnecting)
            return S::Reconnecting;
        break;
    case E::Opened:
        if (from == S::Connecting || from == S::Reconnecting)
            return S::Reading;
        if (from == S::Closed)
            return S::Closed;
        break;
    case E::Failed:
        if (from == S::Connecting || from == S::Closed)
            return S::Closed;
        if (from == S::Reconnecting)
            return S::Reconnecting;
        break;
    case E::Dropped:
        if (from == S::Ready)
            return S::Lost;
        if (from == S::Reading)
            return wasReady ? S::Lost : S::Closed;
        if (from == S::Closed)
            return S::Closed;
        break;
    case E::ReadDone:
        if (from == S::Reading || from == S::Ready)
            return S::Ready;
        break;
    }
    return std::nullopt;
}

void LinkStateModel::transportChanged(bool up)
{
    if (up)
        handle(Event::Opened);
    else if (m_state == State::Connecting || m_state == State::Reconnecting || m_state == State::Closed)
        handle(Event::Failed);
    else
        handle(Event::Dropped);
}

void LinkStateModel::handle(Event event)
{
    const std::optional<State> to = next(m_state, event, m_wasReady);
    Q_ASSERT_X(to, "LinkStateModel::handle", "event the state cannot take");
    if (!to) {
        qCWarning(lcLink) << "link state" << m_state << "cannot take" << event;
        return;
    }
    if (*to == State::Ready)
        m_wasReady = true;
    if (*to == m_state)
        return;
    qCInfo(lcLink) << "link" << m_state << "->" << *to << "on" << event;
    m_previous = m_state;
    m_cause = event;
    m_state = *to;
    emit stateChanged(m_state);
}
