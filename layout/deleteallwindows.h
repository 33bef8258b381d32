#ifndef DELETEALLWINDOWS_H
#define DELETEALLWINDOWS_H

#include "layoutedit.h"
#include "mygraphicsview.h"

// Undo and redo of "Delete all": redone, it empties the preset on the
// device at once, as the edit did.
class DeleteAllWindows : public LayoutEdit
{
public:
    DeleteAllWindows(MyGraphicsView *canvas, const WallModel &before)
        : LayoutEdit(canvas, before, -1, "Delete all", "全部删除")
    {
    }

protected:
    void replay(const WallModel &model) override
    {
        if (model.count() == 0)
            m_canvas->replayDeleteAll();
        else
            LayoutEdit::replay(model);
    }
};

#endif // DELETEALLWINDOWS_H
