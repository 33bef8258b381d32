#include "ptytransport.h"

#include "devicesession.h"
#include "simlog.h"

#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int ReadChunk = 4096;

} // namespace

PtyTransport::PtyTransport(QObject *parent)
    : QObject(parent)
{
}

PtyTransport::~PtyTransport()
{
    close();
}

bool PtyTransport::open(const QString &symlinkPath)
{
    close();
    if (!openTerminal() || !makeLink(symlinkPath)) {
        close();
        return false;
    }
    m_readNotifier = new QSocketNotifier(m_master, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &PtyTransport::readMaster);
    m_writeNotifier = new QSocketNotifier(m_master, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &PtyTransport::writePending);

    m_session = new DeviceSession(DeviceSession::Link::Terminal, this);
    connect(m_session, &DeviceSession::transmit, this, &PtyTransport::write);
    connect(m_session, &DeviceSession::closeDue, this, &PtyTransport::close);
    qCInfo(lcSim) << "terminal open at" << path();
    emit sessionStarted(m_session);
    return true;
}

void PtyTransport::close()
{
    if (!isOpen())
        return;
    delete m_readNotifier;
    delete m_writeNotifier;
    m_readNotifier = m_writeNotifier = nullptr;
    m_session->disconnect(this);
    m_session->deleteLater();
    m_session = nullptr;
    m_pending.clear();
    ::close(m_slave);
    ::close(m_master);
    m_slave = m_master = -1;
    if (!m_linkPath.isEmpty())
        QFile::remove(m_linkPath);
    m_linkPath.clear();
    m_terminalPath.clear();
    qCInfo(lcSim) << "terminal closed";
    emit closed();
}

QString PtyTransport::path() const
{
    return m_linkPath.isEmpty() ? m_terminalPath : m_linkPath;
}

bool PtyTransport::openTerminal()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        qCWarning(lcSim) << "cannot create a pseudo-terminal:" << qt_error_string(errno);
        return false;
    }
    m_terminalPath = QString::fromLocal8Bit(::ptsname(m_master));
    m_slave = ::open(::ptsname(m_master), O_RDWR | O_NOCTTY | O_CLOEXEC);
    termios settings{};
    if (m_slave < 0 || ::tcgetattr(m_slave, &settings) != 0) {
        qCWarning(lcSim) << "cannot open" << m_terminalPath << qt_error_string(errno);
        return false;
    }
    ::cfmakeraw(&settings);
    return ::tcsetattr(m_slave, TCSANOW, &settings) == 0;
}

bool PtyTransport::makeLink(const QString &symlinkPath)
{
    if (symlinkPath.isEmpty())
        return true;
    if (QFileInfo(symlinkPath).isSymLink())
        QFile::remove(symlinkPath);
    if (!QFile::link(m_terminalPath, symlinkPath)) {
        qCWarning(lcSim) << "cannot link" << symlinkPath << "to" << m_terminalPath;
        return false;
    }
    m_linkPath = symlinkPath;
    return true;
}

void PtyTransport::readMaster()
{
    char buffer[ReadChunk];
    const ssize_t count = ::read(m_master, buffer, sizeof buffer);
    if (count > 0)
        m_session->receive(QByteArray(buffer, int(count)));
    else if (count < 0 && errno != EAGAIN && errno != EINTR)
        qCWarning(lcSim) << "terminal read failed:" << qt_error_string(errno);
}

void PtyTransport::write(const QByteArray &bytes)
{
    m_pending.append(bytes);
    writePending();
}

void PtyTransport::writePending()
{
    const ssize_t count = ::write(m_master, m_pending.constData(), size_t(m_pending.size()));
    if (count > 0)
        m_pending.remove(0, int(count));
    else if (count < 0 && errno != EAGAIN && errno != EINTR)
        qCWarning(lcSim) << "terminal write failed:" << qt_error_string(errno);
    m_writeNotifier->setEnabled(!m_pending.isEmpty());
}
