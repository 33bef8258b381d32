#ifndef MAINMENUS_H
#define MAINMENUS_H

#include <bilingual.h>

class LinkStateModel;
class QAction;
class QMainWindow;
class QMenu;
class QObject;

// The main window's menus, the context menus of its lists and their
// actions (found by object name), with their captions in the language of
// the moment.
class MainMenus
{
public:
    MainMenus(QMainWindow *window, const LinkStateModel *link);

    void setLanguage(bool english);
    // The connect action names what it will do; what needs the device is
    // enabled only with the link up.
    void showLinkState();
    // Undo and redo name the edit they undo or redo.
    void setEdits(const QString &undoEdit, bool canUndo, const QString &redoEdit, bool canRedo);

    QMenu *language;
    QAction *chinese;
    QAction *english;
    QMenu *communication;
    QAction *connect;
    QAction *workOffline;
    QAction *comSet;
    QAction *comTest;
    QAction *remote;
    QMenu *device;
    QAction *ledMosaic;
    QAction *inputSingle;
    QMenu *data;
    QAction *exportData;
    QAction *importData;
    QAction *sync;
    QAction *verify;
    QAction *init;
    QMenu *winLock;
    QAction *lock;
    QAction *unlock;
    QMenu *edit;
    QAction *undo;
    QAction *redo;
    QAction *blind;
    QAction *take;
    QAction *revert;

    QMenu *sourceCardMenu; // a one-channel card in the source list
    QAction *pictureAttribute;
    QAction *inputName;
    QMenu *sourceMenu;     // a channel of a two-channel card
    QMenu *winMenu;
    QAction *topFloor;
    QAction *bottomFloor;

private:
    QMenu *addMenu(const char *name);
    QAction *addAction(QMenu *menu, const char *name);
    static QMenu *popupMenu(QObject *parent, const char *name);

    QMainWindow *m_window;
    const LinkStateModel *m_link;
    Bilingual m_text;
};

#endif // MAINMENUS_H
