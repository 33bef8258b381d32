#include "faultinjector.h"

#include "simlog.h"

#include <protocol.h>

#include <algorithm>

namespace {

constexpr int MaxExtraBytes = 8;
constexpr int MaxPieces = 4;

} // namespace

FaultInjector::FaultInjector(const FaultOptions &options)
    : m_options(options)
    , m_random(options.seed)
{
}

QByteArrayList FaultInjector::shape(int requestNumber, const QByteArray &request,
                                    const QByteArray &reply)
{
    if (drops(requestNumber, request)) {
        qCInfo(lcSim) << "dropping the reply to request" << requestNumber;
        return {};
    }
    QByteArray bytes = reply;
    if (hits(m_options.noiseEvery, requestNumber))
        bytes.prepend(randomBytes());
    if (hits(m_options.overrunEvery, requestNumber))
        bytes.append(randomBytes());
    return m_options.splitReplies ? split(bytes) : QByteArrayList{bytes};
}

namespace {

bool hasCode(const QByteArray &request, int code)
{
    return code != 0 && request.size() > Protocol::CodeOffset && quint8(request.at(Protocol::CodeOffset)) == code;
}

} // namespace

int FaultInjector::delayMs(int requestNumber, const QByteArray &request) const
{
    return m_options.delayMs + (requestNumber == m_options.lateRequest ? m_options.lateMs : 0)
        + (hasCode(request, m_options.slowCode) ? m_options.slowMs : 0);
}

int FaultInjector::outOfTurnMs(int requestNumber, const QByteArray &request)
{
    if (m_outOfTurnRequest != 0 || !hasCode(request, m_options.outOfTurnCode))
        return -1;
    m_outOfTurnRequest = requestNumber;
    return m_options.outOfTurnMs;
}

bool FaultInjector::drops(int requestNumber, const QByteArray &request) const
{
    if (requestNumber == m_outOfTurnRequest)
        return false;
    return hasCode(request, m_options.muteCode) || hits(m_options.dropEvery, requestNumber);
}

bool FaultInjector::hits(int every, int requestNumber)
{
    return every > 0 && requestNumber % every == 0;
}

QByteArray FaultInjector::randomBytes()
{
    QByteArray bytes(m_random.bounded(1, MaxExtraBytes + 1), 0);
    for (char &byte : bytes)
        byte = char(m_random.bounded(256));
    if (m_options.noiseStarts)
        bytes[m_random.bounded(bytes.size())] = char(Protocol::FrameStart);
    return bytes;
}

QByteArrayList FaultInjector::split(const QByteArray &bytes)
{
    if (bytes.size() < 2)
        return {bytes};
    const int size = int(bytes.size());
    const int pieces = m_random.bounded(2, std::min(MaxPieces, size) + 1);
    QList<int> cuts;
    while (cuts.size() < pieces - 1) {
        const int cut = m_random.bounded(1, size);
        if (!cuts.contains(cut))
            cuts.append(cut);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.append(size);
    QByteArrayList result;
    int start = 0;
    for (int cut : cuts) {
        result.append(bytes.mid(start, cut - start));
        start = cut;
    }
    return result;
}
