#ifndef WIRETIME_H
#define WIRETIME_H

#include <QtGlobal>

class DeviceSimulator;
class QTextStream;

// What the benchmarks share: their output, and the time the exchanges the
// simulator saw take on a serial line (8N1, so ten bits a byte).
namespace WireTime {

constexpr int BaudRate = 115200;

QTextStream &out();
// Request and reply bytes of every exchange the simulator saw.
qint64 bytes(const DeviceSimulator &sim);
double seconds(qint64 bytes);

} // namespace WireTime

#endif // WIRETIME_H
