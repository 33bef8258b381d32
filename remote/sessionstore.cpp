#include "sessionstore.h"

#include "pinhash.h"
#include "samebytes.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

#include <algorithm>
#include <utility>

namespace {

constexpr int TokenWords = 8; // 256 bits

QByteArray digestOf(const QString &token)
{
    return QCryptographicHash::hash(token.toUtf8(), QCryptographicHash::Sha256);
}

} // namespace

SessionStore::SessionStore(std::chrono::milliseconds lifetime, std::function<Clock::time_point()> now)
    : m_lifetime(lifetime)
    , m_now(std::move(now))
{
}

void SessionStore::setPinHash(const QString &pinHash)
{
    if (pinHash == m_pinHash)
        return;
    m_pinHash = pinHash;
    revokeAll();
}

bool SessionStore::pinMatches(const QString &pin) const
{
    return pinSet() && PinHash::matches(m_pinHash, pin);
}

QString SessionStore::open()
{
    dropExpired();
    if (int(m_sessions.size()) >= MaxSessions)
        m_sessions.erase(m_sessions.begin());
    quint32 words[TokenWords];
    QRandomGenerator::system()->fillRange(words);
    QString token = QString::fromLatin1(
        QByteArray(reinterpret_cast<const char *>(words), sizeof words)
            .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
    m_sessions.push_back({digestOf(token), m_now() + m_lifetime});
    return token;
}

// Every session is compared, the match or not: the time says nothing.
bool SessionStore::take(const QString &token)
{
    dropExpired();
    if (token.isEmpty())
        return false;
    const QByteArray digest = digestOf(token);
    Session *found = nullptr;
    for (Session &session : m_sessions) {
        if (sameBytes(session.digest, digest))
            found = &session;
    }
    if (!found)
        return false;
    found->expiry = m_now() + m_lifetime;
    return true;
}

void SessionStore::dropExpired()
{
    const Clock::time_point now = m_now();
    m_sessions.erase(std::remove_if(m_sessions.begin(), m_sessions.end(),
                                    [now](const Session &session) { return session.expiry <= now; }),
                     m_sessions.end());
}
