#ifndef CHANGESOURCE_H
#define CHANGESOURCE_H

#include "layoutedit.h"
#include "mygraphicsview.h"

// Undo and redo of another source for a window, sent as the window's new
// signal, as the edit was.
class ChangeSource : public LayoutEdit
{
public:
    ChangeSource(MyGraphicsView *canvas, const WallModel &before, int window)
        : LayoutEdit(canvas, before, window, "Change source of Win%1", "更换 Win%1 信号源")
    {
    }

protected:
    void replay(const WallModel &model) override
    {
        if (model.contains(m_window))
            m_canvas->replaySource(m_window, model.window(m_window).channel);
    }
};

#endif // CHANGESOURCE_H
