#ifndef WALLWINDOW_H
#define WALLWINDOW_H

#include "windowsection.h"

#include <QMap>
#include <QRect>

// A window on the wall: one input channel shown in a wall rectangle.
struct WallWindow
{
    int id = 0;            // 0 to 63, the device's window slot
    int channel = 0;       // channel code, sent as b2
    QRect rect;            // on the wall (rectA)
    QRect source;          // the part of the input picture shown (rectB)
    int b3 = 0;
    QMap<int, WindowSection> trims; // by screen; geometry changes drop them

    // A window as the device reports it, untrimmed.
    static WallWindow of(int id, int channel, const QRect &rect, const QRect &source, int b3)
    {
        WallWindow w;
        w.id = id;
        w.channel = channel;
        w.rect = rect;
        w.source = source;
        w.b3 = b3;
        return w;
    }
};

#endif // WALLWINDOW_H
