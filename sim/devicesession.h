#ifndef DEVICESESSION_H
#define DEVICESESSION_H

#include "bytepacer.h"
#include "requestsplitter.h"

#include <QByteArrayList>
#include <QObject>
#include <QTimer>

// One connection of the host to the device, whatever carries it: incoming
// bytes are paced and cut into requests; replies are queued in order, each
// after its delay and piece by piece, and paced on the way out.
class DeviceSession : public QObject
{
    Q_OBJECT

public:
    enum class Link { Tcp, Terminal };

    explicit DeviceSession(Link link, QObject *parent = nullptr);

    Link link() const { return m_link; }
    void setBaudRate(int baud);
    void receive(const QByteArray &bytes);
    void sendReply(const QByteArrayList &pieces, int delayMs);
    // Sends the pieces after delayMs whatever replies are queued meanwhile.
    void sendOutOfTurn(const QByteArrayList &pieces, int delayMs);
    void closeWhenSent();

signals:
    void requestReceived(const QByteArray &request, int number);
    void transmit(const QByteArray &bytes);
    void closeDue();

private:
    struct Step
    {
        int waitMs = 0;
        QByteArray bytes;
        bool close = false;
    };

    void takeRequests(const QByteArray &bytes);
    void startNextStep();
    void runStep();
    void closeIfSent();

    Link m_link;
    BytePacer m_incoming;
    BytePacer m_outgoing;
    RequestSplitter m_splitter;
    QList<Step> m_steps;
    QTimer m_stepTimer;
    int m_requestCount = 0;
    bool m_closing = false;
};

#endif // DEVICESESSION_H
