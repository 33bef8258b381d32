#include "wiretime.h"

#include <deviceprotocol.h>
#include <devicesimulator.h>

#include <QTextStream>

namespace WireTime {

namespace {
constexpr int BitsPerByte = 10;
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
}

qint64 bytes(const DeviceSimulator &sim)
{
    DeviceModel scratch = sim.model();
    qint64 total = 0;
    for (const QByteArray &request : sim.requests())
        total += request.size() + DeviceProtocol::answer(request, &scratch).size();
    return total;
}

double seconds(qint64 bytes)
{
    return double(bytes * BitsPerByte) / BaudRate;
}

} // namespace WireTime
