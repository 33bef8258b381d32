#ifndef NUDGEWINDOW_H
#define NUDGEWINDOW_H

#include "layoutedit.h"

// Undo and redo of arrow-key nudges: the nudges of one window that go to
// the device as one change are one edit.
class NudgeWindow : public LayoutEdit
{
public:
    static constexpr int Id = 1;

    // group: the change the nudge is sent with.
    NudgeWindow(MyGraphicsView *canvas, const WallModel &before, int window, int group)
        : LayoutEdit(canvas, before, window, "Nudge Win%1", "微移 Win%1")
        , m_group(group)
    {
    }

    int id() const override { return Id; }

    bool mergeWith(const QUndoCommand *other) override
    {
        const auto *next = static_cast<const NudgeWindow *>(other);
        if (next->m_window != m_window || next->m_group != m_group)
            return false;
        m_after = next->m_after;
        return true;
    }

private:
    int m_group;
};

#endif // NUDGEWINDOW_H
