#ifndef SIGNALPOLL_H
#define SIGNALPOLL_H

#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class LinkReply;
class Singleton_SerialPort;

// Reads the input signals every two seconds while the link is ready and
// idle, as the program's own request: never while the operator's work is
// under way (frames queued, a wait page open, a verify weighed), so that
// it delays an operator's command by one short frame at most, and never
// two at a time.
class SignalPoll : public QObject
{
    Q_OBJECT

public:
    static constexpr int IntervalMs = 2000;

    // busy: the operator's work is under way.
    SignalPoll(Singleton_SerialPort *link, std::function<bool()> busy, QObject *parent = nullptr);

    // A read now, when one may go; the regular reads go on.
    void pollNow();

signals:
    // The link's record holds the signals a read found just now.
    void read();

private:
    bool mayRead() const;

    Singleton_SerialPort *m_link;
    std::function<bool()> m_busy;
    QTimer m_timer;
    QPointer<LinkReply> m_reply; // the read under way
};

#endif // SIGNALPOLL_H
