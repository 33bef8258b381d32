#ifndef LOWERWINDOW_H
#define LOWERWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window put under the others.
class LowerWindow : public LayoutEdit
{
public:
    LowerWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Lower Win%1", "置底 Win%1")
    {
    }
};

#endif // LOWERWINDOW_H
