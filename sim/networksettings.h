#ifndef NETWORKSETTINGS_H
#define NETWORKSETTINGS_H

#include <QtGlobal>

#include <array>

// The processor's own network settings. Addresses are IPv4 values in host
// order; the first three MAC bytes are fixed by the maker.
struct NetworkSettings
{
    quint32 address = 0xC0A80164; // 192.168.1.100
    quint32 mask = 0xFFFFFF00;
    quint32 gateway = 0xC0A80101;
    std::array<quint8, 6> mac{0x76, 0x64, 0x77, 0x16, 0x21, 0x2C};
    quint16 port = 50;
};

#endif // NETWORKSETTINGS_H
