#ifndef RESIZEWINDOW_H
#define RESIZEWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window's edges pulled.
class ResizeWindow : public LayoutEdit
{
public:
    ResizeWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Resize Win%1", "缩放 Win%1")
    {
    }
};

#endif // RESIZEWINDOW_H
