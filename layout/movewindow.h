#ifndef MOVEWINDOW_H
#define MOVEWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window dragged to another place.
class MoveWindow : public LayoutEdit
{
public:
    MoveWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Move Win%1", "移动 Win%1")
    {
    }
};

#endif // MOVEWINDOW_H
