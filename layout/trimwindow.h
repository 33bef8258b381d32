#ifndef TRIMWINDOW_H
#define TRIMWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window's input or output rectangle, or one screen's trim, set.
class TrimWindow : public LayoutEdit
{
public:
    TrimWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Trim Win%1", "微调 Win%1")
    {
    }
};

#endif // TRIMWINDOW_H
