#ifndef FAULTINJECTOR_H
#define FAULTINJECTOR_H

#include "faultoptions.h"

#include <QByteArrayList>
#include <QRandomGenerator>

// Turns a reply into the pieces that actually go out, as the fault options
// say: none when the reply is dropped, noise in front, surplus bytes
// behind, random cuts.
class FaultInjector
{
public:
    explicit FaultInjector(const FaultOptions &options = {});

    const FaultOptions &options() const { return m_options; }
    QByteArrayList shape(int requestNumber, const QByteArray &request, const QByteArray &reply);
    // How long the reply to this request waits before it starts.
    int delayMs(int requestNumber) const;

private:
    static bool hits(int every, int requestNumber);
    bool drops(int requestNumber, const QByteArray &request) const;
    QByteArray randomBytes();
    QByteArrayList split(const QByteArray &bytes);

    FaultOptions m_options;
    QRandomGenerator m_random;
};

#endif // FAULTINJECTOR_H
