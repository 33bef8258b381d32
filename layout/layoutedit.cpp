#include "layoutedit.h"

#include "mygraphicsview.h"


LayoutEdit::LayoutEdit(MyGraphicsView *canvas, const WallModel &before, int window,
                       const char *english, const char *chinese)
    : BilingualCommand(canvas->text(), english, chinese, window)
    , m_canvas(canvas)
    , m_before(before)
    , m_after(canvas->model())
    , m_window(window)
{
}

void LayoutEdit::undo()
{
    replay(m_before);
}

void LayoutEdit::redo()
{
    if (!std::exchange(m_applied, false))
        replay(m_after);
}

void LayoutEdit::replay(const WallModel &model)
{
    m_canvas->replayEdit(model, m_window);
}

