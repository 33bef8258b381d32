#include "layoutedit.h"

#include "mygraphicsview.h"

#include <bilingual.h>

LayoutEdit::LayoutEdit(MyGraphicsView *canvas, const WallModel &before, int window,
                       const char *english, const char *chinese)
    : m_canvas(canvas)
    , m_before(before)
    , m_after(canvas->model())
    , m_window(window)
{
    const QString text = Bilingual(canvas->isEnglish())(english, chinese);
    setText(window < 0 ? text : text.arg(window + 1));
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

