#ifndef RAISEWINDOW_H
#define RAISEWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window put on top of the others.
class RaiseWindow : public LayoutEdit
{
public:
    RaiseWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Raise Win%1", "置顶 Win%1")
    {
    }
};

#endif // RAISEWINDOW_H
