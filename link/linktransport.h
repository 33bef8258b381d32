#ifndef LINKTRANSPORT_H
#define LINKTRANSPORT_H

#include <QByteArray>
#include <QSerialPort>
#include <QString>
#include <QStringList>

class QTcpSocket;

// The link's two lines to the processor, a TCP socket and a serial port,
// behind one face: open the one the settings name, write a frame, close;
// and the waits that depend on the line open. It owns neither: both are
// children of the link worker and live in its thread.
class LinkTransport
{
public:
    LinkTransport(QSerialPort *serial, QTcpSocket *socket);

    // Opens the socket (link type 0) or the serial port, blocking for at
    // most a moment; false, with the reason logged, when it cannot.
    bool open(int linkType, const QString &ip, int port, const QString &portName);
    void close();
    bool write(const QByteArray &frame);

    // The time these bytes take on the wire: 0 over TCP.
    int wireMs(int bytes) const;
    // How long without a byte counts as a quiet line.
    int quietGapMs() const;
    // A serial error that means the port is gone.
    bool serialGone(QSerialPort::SerialPortError error) const;

    // The serial ports that can be opened now.
    static QStringList openablePortNames();

private:
    bool connectSocket(const QString &ip, int port);
    bool openSerialPort(const QString &portName);

    QSerialPort *m_serial;
    QTcpSocket *m_socket;
    bool m_tcp = true;
};

#endif // LINKTRANSPORT_H
