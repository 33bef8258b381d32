#ifndef PINTHROTTLE_H
#define PINTHROTTLE_H

#include <QDeadlineTimer>
#include <QHash>
#include <QHostAddress>
#include <QList>

// Wrong PINs slowed down: an address that gave MaxTries wrong ones within
// a minute may try again only once the first of them is a minute old.
class PinThrottle
{
public:
    static constexpr int MaxTries = 5;
    static constexpr int WindowSeconds = 60;
    // Addresses remembered at once; past them every new one waits.
    static constexpr int MaxAddresses = 4096;

    // Seconds the address must wait before its next try, 0 when it may.
    int waitFor(const QHostAddress &address);
    void refused(const QHostAddress &address);

private:
    void dropExpired();

    QHash<QHostAddress, QList<QDeadlineTimer>> m_refusals;
};

#endif // PINTHROTTLE_H
