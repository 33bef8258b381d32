#ifndef CARDVERSION_H
#define CARDVERSION_H

#include <QtGlobal>

#include <array>

// Version bytes of one card; an empty slot reports FF FF FF.
using CardVersion = std::array<quint8, 3>;

constexpr CardVersion NoCardVersion{0xFF, 0xFF, 0xFF};

#endif // CARDVERSION_H
