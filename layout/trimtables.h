#ifndef TRIMTABLES_H
#define TRIMTABLES_H

#include <QList>

class WallModel;

// The tables of a window the trimming dialogs take; empty for no window.
class TrimTables
{
public:
    // Per screen section: screen, channel, input x, y, w, h, output x, y, w, h.
    static QList<int> sections(const WallModel &model, int id);
    // Window, wall rectangle, the wall's size as its limits, source rectangle.
    static QList<int> rectangles(const WallModel &model, int id);
};

#endif // TRIMTABLES_H
