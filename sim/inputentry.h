#ifndef INPUTENTRY_H
#define INPUTENTRY_H

#include "cardversion.h"

#include <array>

// One of the 32 input card entries: the picture settings the device keeps
// for it (the 28-byte chunk of the input card read) and the card fitted in
// its slot.
struct InputEntry
{
    enum CardType : quint8 { OneChannel = 0, TwoChannelHdmi = 1, TwoChannelDvi = 2, TwoChannelSdi = 3 };

    quint8 id = 0;         // the entry's number; a one-channel card's channel code
    bool present = false;  // a card is fitted
    quint8 mainSignal = 0; // one-channel card: 0 SDI, 1 DVI, 2 VGA, 3 CVBS
    quint8 auxSignal = 0;  // picture in picture or caption signal
    quint8 mode = 0;       // 0 plain, 1/2 first group, 3/4 second group
    quint8 light = 0;
    quint8 contrast = 0;
    quint8 colour = 0;
    std::array<quint8, 4> captions{};
    std::array<quint16, 4> rectA{}; // x, width, y, height
    std::array<quint16, 4> rectB{};
    quint8 cardType = OneChannel;
    bool signalA = false;  // signal present on the first channel
    bool signalB = false;  // signal present on the second channel
    CardVersion version = NoCardVersion;

    void fit(quint8 type, const CardVersion &cardVersion);
    void applyFactoryDefaults();
};

#endif // INPUTENTRY_H
