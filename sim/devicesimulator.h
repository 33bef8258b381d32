#ifndef DEVICESIMULATOR_H
#define DEVICESIMULATOR_H

#include "devicemodel.h"
#include "faultinjector.h"
#include "replyform.h"

#include <QByteArrayList>
#include <QObject>
#include <QPointer>

class DeviceSession;
class PtyTransport;
class TcpTransport;

// The simulated processor: a model of its state behind a TCP port and a
// pseudo-terminal, with optional serial-line pacing, fault injection and
// another form of its read replies.
// It lives in the thread that creates it and needs that thread's event loop.
class DeviceSimulator : public QObject
{
    Q_OBJECT

public:
    explicit DeviceSimulator(QObject *parent = nullptr);
    ~DeviceSimulator() override;

    DeviceModel &model() { return m_model; }
    const DeviceModel &model() const { return m_model; }

    bool listenTcp(quint16 port = 0);
    quint16 tcpPort() const;
    // Closes every TCP connection; the port keeps listening.
    void hangUp();
    // Closes every TCP connection and the port; listenTcp(port) opens it
    // again.
    void closeTcp();

    bool openPty(const QString &symlinkPath = {});
    QString ptyPath() const;
    // The adapter is unplugged: the terminal and its symlink go away.
    void closePty();

    // Paces both directions like a serial line at this rate; 0 = unpaced.
    void setBaudRate(int baud);
    int baudRate() const { return m_baud; }
    void setFaults(const FaultOptions &options);
    const FaultOptions &faults() const { return m_faults.options(); }
    void setReplyForm(const ReplyForm &form) { m_replyForm = form; }
    const ReplyForm &replyForm() const { return m_replyForm; }

    // The signal on the input (a channel code) comes or goes, as a cable
    // pulled or plugged; false when no fitted card carries the input. In
    // the simulator's thread (SimulatorThread::run from another).
    bool setSignal(int input, bool present);

    // Every complete request received, in order.
    QByteArrayList requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }

signals:
    // Emitted once the request has changed the model, before its reply goes out.
    void requestReceived(const QByteArray &request);
    void ptyClosed();

private:
    void attach(DeviceSession *session);
    void answer(DeviceSession *session, const QByteArray &request, int number);
    int closeAfter(const DeviceSession *session) const;

    DeviceModel m_model = DeviceModel::defaultChassis();
    FaultInjector m_faults;
    ReplyForm m_replyForm;
    TcpTransport *m_tcp;
    PtyTransport *m_pty = nullptr; // Unix only
    QList<QPointer<DeviceSession>> m_sessions;
    QByteArrayList m_requests;
    int m_baud = 0;
};

#endif // DEVICESIMULATOR_H
