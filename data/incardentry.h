#ifndef INCARDENTRY_H
#define INCARDENTRY_H

#include <array>

// One input card slot as the device reports it: 23 integers, in the order
// the device sends them.
struct InCardEntry
{
    int cardId = 0;     // the device's number for the entry; a one-channel card's channel code
    int present = 0;    // 1 = a card is fitted
    int mainSignal = 0; // one-channel card: index into the signal names, 0 to 3
    int auxSignal = 0;  // signal of the picture in picture or of the caption
    int mode = 0;       // 0 plain; 1, 2 first group (2 = PIP); 3, 4 second group (4 = caption)
    int light = 0;
    int contrast = 0;
    int color = 0;
    std::array<int, 4> captionValues{};
    std::array<int, 4> rectA{}; // first rectangle, four 16-bit values
    std::array<int, 4> rectB{}; // second rectangle, four 16-bit values
    int cardType = 0;   // 0 one channel; 1, 2, 3 two channels of HDMI, DVI, SDI
    int sigFlagA = 0;   // 1 = signal present on the first channel
    int sigFlagB = 0;   // 1 = signal present on the second channel

    // What the device's "restore factory data" leaves in a fitted entry.
    void applyFactoryDefaults();
};

#endif // INCARDENTRY_H
