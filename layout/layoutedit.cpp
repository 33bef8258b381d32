#include "layoutedit.h"

#include "mygraphicsview.h"

#include <bilingual.h>

LayoutEdit::LayoutEdit(MyGraphicsView *canvas, const WallModel &before, int window,
                       const char *english, const char *chinese)
    : m_canvas(canvas)
    , m_before(before)
    , m_after(canvas->model())
    , m_window(window)
    , m_english(english)
    , m_chinese(chinese)
{
    setLanguage(canvas->text());
}

void LayoutEdit::setLanguage(const Bilingual &text)
{
    const QString name = text(m_english, m_chinese);
    setText(m_window < 0 ? name : name.arg(m_window + 1));
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

