#ifndef CANVASMENU_H
#define CANVASMENU_H

#include <QMenu>

class Bilingual;

// The canvas's context menu: on a window the window's entries, elsewhere
// on the wall the preset's. Edits are offered disabled while the canvas is
// locked.
class CanvasMenu : public QMenu
{
    Q_OBJECT

public:
    // window: the window under the pointer, -1 for none.
    CanvasMenu(int window, bool locked, const Bilingual &text, QWidget *parent = nullptr);

signals:
    void trimming(int window);
    void trimmingData(int window);
    void topLayer(int window);
    void bottomLayer(int window);
    void deleteWindow(int window);
    void deleteAll();
    void presetName();

private:
    void addWindowEntries(const Bilingual &text);
    void addWallEntries(const Bilingual &text);
    QAction *addEdit(const QString &label);

    int m_window;
    bool m_locked;
};

#endif // CANVASMENU_H
