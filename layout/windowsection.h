#ifndef WINDOWSECTION_H
#define WINDOWSECTION_H

#include <QRect>

// The part of a window on one screen: the part of the source picture it
// shows and where that lands, relative to the screen's top-left corner.
struct WindowSection
{
    int screen = 0;
    QRect input;
    QRect output;

    bool operator==(const WindowSection &other) const
    {
        return screen == other.screen && input == other.input && output == other.output;
    }
};

#endif // WINDOWSECTION_H
