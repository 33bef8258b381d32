#ifndef LAYOUTEDIT_H
#define LAYOUTEDIT_H

#include "wallmodel.h"

#include <QUndoCommand>

class Bilingual;
class MyGraphicsView;

// One committed edit of the canvas, for undo and redo: the windows before
// and after it. The edit was applied and sent when it was made, so the
// first redo does nothing; later ones, and undo, put the canvas back in
// that state and send what the equivalent edit would send, changed window
// first. Its text names the edit in the canvas's language, and follows a
// switch of language.
class LayoutEdit : public QUndoCommand
{
public:
    void undo() override;
    void redo() override;
    void setLanguage(const Bilingual &text);

protected:
    // window: the window the edit is about, -1 for all of them; english and
    // chinese: literals naming the edit, kept for a switch of language.
    LayoutEdit(MyGraphicsView *canvas, const WallModel &before, int window, const char *english,
               const char *chinese);

    virtual void replay(const WallModel &model);

    MyGraphicsView *m_canvas;
    WallModel m_before;
    WallModel m_after;
    int m_window;

private:
    const char *m_english;
    const char *m_chinese;
    bool m_applied = true;
};

#endif // LAYOUTEDIT_H
