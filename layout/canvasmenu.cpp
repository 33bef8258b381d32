#include "canvasmenu.h"

#include <bilingual.h>

CanvasMenu::CanvasMenu(int window, bool locked, const Bilingual &text, QWidget *parent)
    : QMenu(parent), m_window(window), m_locked(locked)
{
    if (window < 0)
        addWallEntries(text);
    else
        addWindowEntries(text);
}

void CanvasMenu::addWindowEntries(const Bilingual &text)
{
    const auto add = [this](const QString &label, void (CanvasMenu::*signal)(int)) {
        connect(addEdit(label), &QAction::triggered, this, [this, signal] { emit (this->*signal)(m_window); });
    };
    add(text("Trimming", "微调"), &CanvasMenu::trimming);
    add(text("Trimming data", "微调数据"), &CanvasMenu::trimmingData);
    addSeparator();
    add(text("Top layer", "顶层"), &CanvasMenu::topLayer);
    add(text("Bottom layer", "底层"), &CanvasMenu::bottomLayer);
    addSeparator();
    add(text("Delete", "删除"), &CanvasMenu::deleteWindow);
}

// Naming the preset is no edit of the layout: it stays offered when locked.
void CanvasMenu::addWallEntries(const Bilingual &text)
{
    connect(addEdit(text("Delete all", "全部删除")), &QAction::triggered, this, &CanvasMenu::deleteAll);
    addAction(text("Preset name", "模式名称"), this, &CanvasMenu::presetName);
}

QAction *CanvasMenu::addEdit(const QString &label)
{
    QAction *action = addAction(label);
    action->setEnabled(!m_locked);
    return action;
}
