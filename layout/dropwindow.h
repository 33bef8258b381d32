#ifndef DROPWINDOW_H
#define DROPWINDOW_H

#include "layoutedit.h"

// Undo and redo of a source dropped on a screen makes a window.
class DropWindow : public LayoutEdit
{
public:
    DropWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Drop Win%1", "拖入 Win%1")
    {
    }
};

#endif // DROPWINDOW_H
