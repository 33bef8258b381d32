#ifndef DRAWWINDOW_H
#define DRAWWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window drawn on the wall.
class DrawWindow : public LayoutEdit
{
public:
    DrawWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Draw Win%1", "绘制 Win%1")
    {
    }
};

#endif // DRAWWINDOW_H
