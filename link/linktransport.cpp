#include "linktransport.h"

#include "linklog.h"

#include <QSerialPortInfo>
#include <QTcpSocket>

namespace {

constexpr int ConnectWaitMs = 800;
constexpr int SerialWriteWaitMs = 800;
constexpr qint32 BaudRate = 115200;

constexpr int BitsPerByte = 10; // 8N1
// The line counts as quiet after this long without a byte: on TCP a late
// reply comes in one burst; on a serial line it is the time of 128 bytes,
// with a floor for the adapter's own latency.
constexpr int TcpQuietGapMs = 30;
constexpr int QuietGapBytes = 128;
constexpr int MinSerialQuietGapMs = 20;

} // namespace

LinkTransport::LinkTransport(QSerialPort *serial, QTcpSocket *socket)
    : m_serial(serial)
    , m_socket(socket)
{
}

bool LinkTransport::open(int linkType, const QString &ip, int port, const QString &portName)
{
    close();
    m_tcp = linkType == 0;
    return m_tcp ? connectSocket(ip, port) : openSerialPort(portName);
}

bool LinkTransport::connectSocket(const QString &ip, int port)
{
    m_socket->connectToHost(ip, static_cast<quint16>(port), QIODevice::ReadWrite,
                            QAbstractSocket::AnyIPProtocol);
    if (m_socket->waitForConnected(ConnectWaitMs))
        return true;
    qCWarning(lcLink) << "cannot connect to" << ip << port << m_socket->errorString();
    m_socket->abort();
    return false;
}

bool LinkTransport::openSerialPort(const QString &portName)
{
    m_serial->setPortName(portName);
    m_serial->setBaudRate(BaudRate, QSerialPort::AllDirections);
    m_serial->setDataBits(QSerialPort::Data8);
    m_serial->setFlowControl(QSerialPort::NoFlowControl);
    m_serial->setParity(QSerialPort::NoParity);
    m_serial->setStopBits(QSerialPort::OneStop);
    if (m_serial->open(QIODevice::ReadWrite))
        return true;
    qCWarning(lcLink) << "cannot open" << portName << m_serial->errorString();
    return false;
}

void LinkTransport::close()
{
    if (m_serial->isOpen()) {
        m_serial->clear(QSerialPort::AllDirections);
        m_serial->close();
    }
    m_socket->abort();
}

bool LinkTransport::write(const QByteArray &frame)
{
    if (m_tcp)
        return m_socket->write(frame) != -1;
    return m_serial->write(frame) != -1 && m_serial->waitForBytesWritten(SerialWriteWaitMs);
}

int LinkTransport::quietGapMs() const
{
    if (m_tcp)
        return TcpQuietGapMs;
    return qMax(MinSerialQuietGapMs, wireMs(QuietGapBytes));
}

int LinkTransport::wireMs(int bytes) const
{
    if (m_tcp)
        return 0;
    return int(qint64(bytes) * BitsPerByte * 1000 / qMax(1, m_serial->baudRate())) + 1;
}

// A port whose other side is gone reports a read error at every turn of
// the event loop while it stays open; it is as gone as a vanished one.
bool LinkTransport::serialGone(QSerialPort::SerialPortError error) const
{
    return error == QSerialPort::ResourceError || (error == QSerialPort::ReadError && m_serial->atEnd());
}

QStringList LinkTransport::openablePortNames()
{
    QStringList names;
    const QList<QSerialPortInfo> ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : ports) {
        QSerialPort port(info);
        if (port.open(QIODevice::ReadWrite)) {
            names << port.portName();
            port.close();
        }
    }
    return names;
}
