#ifndef LAYOUTEDIT_H
#define LAYOUTEDIT_H

#include "wallmodel.h"

#include <bilingualcommand.h>

class MyGraphicsView;

// One committed edit of the canvas, for undo and redo: the windows before
// and after it. The edit was applied and sent when it was made, so the
// first redo does nothing; later ones, and undo, put the canvas back in
// that state and send what the equivalent edit would send, changed window
// first. Its name is in the canvas's language.
class LayoutEdit : public BilingualCommand
{
public:
    void undo() override;
    void redo() override;

protected:
    // window: the window the edit is about, -1 for all of them.
    LayoutEdit(MyGraphicsView *canvas, const WallModel &before, int window, const char *english,
               const char *chinese);

    virtual void replay(const WallModel &model);

    MyGraphicsView *m_canvas;
    WallModel m_before;
    WallModel m_after;
    int m_window;

private:
    bool m_applied = true;
};

#endif // LAYOUTEDIT_H
