#include "devicesimulator.h"

#include "deviceprotocol.h"
#include "devicesession.h"
#include "simlog.h"
#include "tcptransport.h"

#ifdef Q_OS_UNIX
#include "ptytransport.h"
#endif

#include <utility>

DeviceSimulator::DeviceSimulator(QObject *parent)
    : QObject(parent)
    , m_tcp(new TcpTransport(this))
{
    connect(m_tcp, &TcpTransport::sessionStarted, this, &DeviceSimulator::attach);
#ifdef Q_OS_UNIX
    m_pty = new PtyTransport(this);
    connect(m_pty, &PtyTransport::sessionStarted, this, &DeviceSimulator::attach);
    connect(m_pty, &PtyTransport::closed, this, &DeviceSimulator::ptyClosed);
#endif
}

// The terminal closes while this object is whole: its closed() reaches us.
DeviceSimulator::~DeviceSimulator()
{
    closePty();
}

bool DeviceSimulator::setSignal(int input, bool present)
{
    const int entry = DeviceModel::entryOfChannel(input);
    if (entry < 0 || !m_model.entries[size_t(entry)].present)
        return false;
    InputEntry &fitted = m_model.entries[size_t(entry)];
    // Codes below 32 are one-channel cards; above, 64 codes a card type,
    // two a card: even the first channel, odd the second.
    const int type = input < DeviceModel::EntryCount ? int(InputEntry::OneChannel)
                                                      : (input - DeviceModel::EntryCount) / 64 + 1;
    if (fitted.cardType != type)
        return false;
    (type != InputEntry::OneChannel && input % 2 == 1 ? fitted.signalB : fitted.signalA) = present;
    qCInfo(lcSim) << "signal on input" << input << (present ? "restored" : "cut");
    return true;
}

bool DeviceSimulator::listenTcp(quint16 port)
{
    return m_tcp->listen(port);
}

quint16 DeviceSimulator::tcpPort() const
{
    return m_tcp->port();
}

void DeviceSimulator::hangUp()
{
    m_tcp->hangUp();
}

void DeviceSimulator::closeTcp()
{
    m_tcp->close();
}

// Pseudo-terminals are a Unix thing; elsewhere the simulator serves TCP
// alone.
bool DeviceSimulator::openPty(const QString &symlinkPath)
{
#ifdef Q_OS_UNIX
    return m_pty->open(symlinkPath);
#else
    Q_UNUSED(symlinkPath)
    qCWarning(lcSim) << "no pseudo-terminal on this system";
    return false;
#endif
}

QString DeviceSimulator::ptyPath() const
{
#ifdef Q_OS_UNIX
    return m_pty->path();
#else
    return QString();
#endif
}

void DeviceSimulator::closePty()
{
#ifdef Q_OS_UNIX
    m_pty->close();
#endif
}

void DeviceSimulator::setBaudRate(int baud)
{
    m_baud = baud;
    m_sessions.removeAll(nullptr);
    for (DeviceSession *session : std::as_const(m_sessions))
        session->setBaudRate(baud);
}

void DeviceSimulator::setFaults(const FaultOptions &options)
{
    m_faults = FaultInjector(options);
}

void DeviceSimulator::attach(DeviceSession *session)
{
    m_sessions.removeAll(nullptr);
    m_sessions.append(session);
    session->setBaudRate(m_baud);
    connect(session, &DeviceSession::requestReceived, this,
            [this, session](const QByteArray &request, int number) { answer(session, request, number); });
}

void DeviceSimulator::answer(DeviceSession *session, const QByteArray &request, int number)
{
    qCDebug(lcSim) << "request" << number << request.toHex(' ');
    const QByteArray reply = m_replyForm.applyTo(DeviceProtocol::answer(request, &m_model));
    m_requests.append(request);
    emit requestReceived(request);
    const int outOfTurnMs = m_faults.outOfTurnMs(number, request);
    const QByteArrayList pieces = m_faults.shape(number, request, reply);
    if (outOfTurnMs >= 0)
        session->sendOutOfTurn(pieces, outOfTurnMs);
    else
        session->sendReply(pieces, m_faults.delayMs(number, request));
    const int limit = closeAfter(session);
    if (limit > 0 && number == limit)
        session->closeWhenSent();
}

int DeviceSimulator::closeAfter(const DeviceSession *session) const
{
    const FaultOptions &options = m_faults.options();
    return session->link() == DeviceSession::Link::Tcp ? options.hangUpAfter : options.unplugAfter;
}
