#ifndef CONNECTIONFLOW_H
#define CONNECTIONFLOW_H

#include <linkstatemodel.h>

#include <QObject>

class DataActions;
class LinkFeedback;
class OffAirActions;
class PresetStore;
class Reconnector;
class Singleton_SerialPort;

// What the window does as the link's state moves: an open link is read
// (or, with changes here the device may lack, weighed against it); a link
// that was up and drops is tried again while the operator works offline;
// a failed opening is said once. The operator's Connect and Disconnect
// come here too.
class ConnectionFlow : public QObject
{
    Q_OBJECT

public:
    ConnectionFlow(Singleton_SerialPort *link, PresetStore *presets, DataActions *data, OffAirActions *offAir,
                   Reconnector *reconnect, LinkFeedback *feedback, QObject *parent);

    // Connect or Disconnect, as the link stands; an attempt of the
    // reconnection under way becomes the operator's.
    void toggle();

signals:
    // The operator is to be told (Message::Code).
    void message(int code);
    // What the views may take changed.
    void viewsChanged();

private:
    void stateChanged(LinkStateModel::State state);
    void opened();
    void lost();
    void closed();

    Singleton_SerialPort *m_link;
    PresetStore *m_presets;
    DataActions *m_data;
    OffAirActions *m_offAir;
    Reconnector *m_reconnect;
    LinkFeedback *m_feedback;
    LinkStateModel::State m_previous = LinkStateModel::State::Closed;
};

#endif // CONNECTIONFLOW_H
