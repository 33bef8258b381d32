#ifndef PTYTRANSPORT_H
#define PTYTRANSPORT_H

#include <QObject>

class DeviceSession;
class QSocketNotifier;

// The device's serial port as a Linux pseudo-terminal. The host opens the
// terminal's path (or a symlink to it) as its serial port name. The
// terminal side is in raw mode so that every byte passes untouched; the
// simulator keeps it open itself so that the line survives the host
// closing and reopening the port. Closing the transport is an unplugged
// adapter: the host's port sees the line go away.
class PtyTransport : public QObject
{
    Q_OBJECT

public:
    explicit PtyTransport(QObject *parent = nullptr);
    ~PtyTransport() override;

    bool open(const QString &symlinkPath = {});
    void close();
    bool isOpen() const { return m_master >= 0; }
    // The path the host opens: the symlink when one was asked for.
    QString path() const;

signals:
    void sessionStarted(DeviceSession *session);
    void closed();

private:
    bool openTerminal();
    bool makeLink(const QString &symlinkPath);
    void readMaster();
    void write(const QByteArray &bytes);
    void writePending();

    int m_master = -1;
    int m_slave = -1;
    QString m_terminalPath;
    QString m_linkPath;
    QByteArray m_pending;
    QSocketNotifier *m_readNotifier = nullptr;
    QSocketNotifier *m_writeNotifier = nullptr;
    DeviceSession *m_session = nullptr;
};

#endif // PTYTRANSPORT_H
