#include "connectionflow.h"

#include "dataactions.h"
#include "linkfeedback.h"
#include "offairactions.h"
#include "presetstore.h"
#include "reconnector.h"

#include <commandtype.h>
#include <messagecode.h>
#include <singleton_serialport.h>

ConnectionFlow::ConnectionFlow(Singleton_SerialPort *link, PresetStore *presets, DataActions *data,
                               OffAirActions *offAir, Reconnector *reconnect, LinkFeedback *feedback,
                               QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_presets(presets)
    , m_data(data)
    , m_offAir(offAir)
    , m_reconnect(reconnect)
    , m_feedback(feedback)
{
    connect(link->state(), &LinkStateModel::stateChanged, this, &ConnectionFlow::stateChanged);
}

void ConnectionFlow::toggle()
{
    if (m_link->isConnected()) {
        m_link->postCommand(Command::Disconnect);
    } else if (m_reconnect->isTrying()) {
        m_reconnect->handOver();
    } else {
        m_reconnect->stop();
        m_link->postCommand(Command::Connect);
    }
}

void ConnectionFlow::stateChanged(LinkStateModel::State state)
{
    using S = LinkStateModel::State;
    switch (state) {
    case S::Reading:
        opened();
        break;
    case S::Lost:
        lost();
        break;
    case S::Closed:
        closed();
        break;
    default:
        break;
    }
    m_previous = state;
    emit viewsChanged();
}

// What was changed offline is in the data file the connection may read
// back; changes here the device may lack are not read over: the operator
// weighs them against the device's.
void ConnectionFlow::opened()
{
    if (m_offAir->isOffline()) {
        m_presets->saveDataFile();
        m_offAir->setOffline(false);
    }
    if (m_presets->marks().changedHere().isEmpty())
        m_link->send(LinkRequest::connectionRead());
    else
        m_data->readForChoice();
}

// A link that was up dropped: the operator is told once and goes on
// offline while the program tries again by itself. The message comes
// last: the link may be back before it is dismissed.
void ConnectionFlow::lost()
{
    m_feedback->closeWaitPages();
    m_presets->saveDataFile();
    if (m_link->reconnects() && m_offAir->setOffline(true)) {
        m_reconnect->start();
    } else {
        m_link->postCommand(Command::Disconnect);
    }
    emit message(Message::OpeningFailed);
}

// Nothing more can answer a wait page. A failed opening, or a link that
// dropped before its first read completed, is said; the operator's own
// closing is not.
void ConnectionFlow::closed()
{
    using S = LinkStateModel::State;
    using E = LinkStateModel::Event;
    const LinkStateModel *state = m_link->state();
    m_feedback->closeWaitPages();
    if (state->wasReady() && (m_previous == S::Ready || m_previous == S::Reading))
        m_presets->saveDataFile();
    if (state->cause() == E::Failed || state->cause() == E::Dropped)
        emit message(Message::OpeningFailed);
}
