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
    // How long the reply to this request waits before it starts, in turn.
    int delayMs(int requestNumber, const QByteArray &request) const;
    // How long the reply to this request is held back out of turn, or -1
    // when it goes in turn; call before shape().
    int outOfTurnMs(int requestNumber, const QByteArray &request);

private:
    static bool hits(int every, int requestNumber);
    bool drops(int requestNumber, const QByteArray &request) const;
    QByteArray randomBytes();
    QByteArrayList split(const QByteArray &bytes);

    FaultOptions m_options;
    QRandomGenerator m_random;
    int m_outOfTurnRequest = 0; // the request answered out of turn, once taken
};

#endif // FAULTINJECTOR_H
