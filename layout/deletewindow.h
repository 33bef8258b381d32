#ifndef DELETEWINDOW_H
#define DELETEWINDOW_H

#include "layoutedit.h"

// Undo and redo of a window deleted.
class DeleteWindow : public LayoutEdit
{
public:
    DeleteWindow(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Delete Win%1", "删除 Win%1")
    {
    }
};

#endif // DELETEWINDOW_H
