#ifndef SESSIONDESK_H
#define SESSIONDESK_H

#include "pinthrottle.h"

#include <QHostAddress>
#include <QHttpServerResponse>
#include <QObject>

class QHttpServerRequest;
class SessionStore;

// POST /session: a session token for the right PIN ({"pin":"1234"}), or
// for nothing on the loopback. Wrong PINs are said, logged and slowed down
// per address; nothing of the PIN is ever sent back.
class SessionDesk : public QObject
{
    Q_OBJECT

public:
    static constexpr int MaxBodyBytes = 1024;

    explicit SessionDesk(SessionStore *sessions, QObject *parent = nullptr);

    QHttpServerResponse answer(const QHttpServerRequest &request);

signals:
    void pinRefused(const QHostAddress &address);

private:
    QHttpServerResponse opened();

    SessionStore *m_sessions;
    PinThrottle m_throttle;
};

#endif // SESSIONDESK_H
