#ifndef SESSIONSTORE_H
#define SESSIONSTORE_H

#include <QByteArray>
#include <QString>

#include <chrono>
#include <functional>
#include <vector>

// The tablet page's sessions: a token is handed out for the right PIN and
// then taken by the WebSocket as the configured token is. Each lasts its
// lifetime from its last use; only the tokens' digests are kept, and all
// go when the PIN changes.
class SessionStore
{
public:
    static constexpr int MaxSessions = 256;
    static constexpr std::chrono::hours DefaultLifetime{12};

    using Clock = std::chrono::steady_clock;
    // now: the monotonic time; tests drive their own.
    explicit SessionStore(std::chrono::milliseconds lifetime = DefaultLifetime,
                          std::function<Clock::time_point()> now = Clock::now);

    // The PIN as PinHash keeps it, empty when none is set.
    void setPinHash(const QString &pinHash);
    std::chrono::milliseconds lifetime() const { return m_lifetime; }
    bool pinSet() const { return !m_pinHash.isEmpty(); }
    bool pinMatches(const QString &pin) const;

    // A new token of 256 random bits; the oldest session makes room.
    QString open();
    // A live session's token; its lifetime starts again.
    bool take(const QString &token);
    void revokeAll() { m_sessions.clear(); }
    int size() const { return int(m_sessions.size()); }

private:
    struct Session
    {
        QByteArray digest;
        Clock::time_point expiry;
    };

    void dropExpired();

    std::chrono::milliseconds m_lifetime;
    std::function<Clock::time_point()> m_now;
    QString m_pinHash;
    std::vector<Session> m_sessions;
};

#endif // SESSIONSTORE_H
