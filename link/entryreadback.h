#ifndef ENTRYREADBACK_H
#define ENTRYREADBACK_H

#include <QByteArray>

class DeviceData;

// Settles a write to the input entries whose acknowledgement was lost: the
// entries are read back from the device, and the write counts as done when
// what was read already holds everything it sets.
class EntryReadBack
{
public:
    // The read request that settles such a write.
    static QByteArray request();
    // The entries of read, as the device reported them, hold the write.
    static bool holds(const DeviceData &read, const QByteArray &write);
};

#endif // ENTRYREADBACK_H
