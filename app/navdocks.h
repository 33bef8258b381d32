#ifndef NAVDOCKS_H
#define NAVDOCKS_H

#include <QList>
#include <QMap>
#include <QString>

class DeviceData;
class Form_title;
class MainMenus;
class MyNavTree;
class QDockWidget;
class QMainWindow;
class QPoint;

// The two side docks of the main window: the sources on the left, with
// the card refresh in their title bar, and the windows of the shown
// preset on the right, top layer first; each list opens its context menu
// on the item under the cursor.
class NavDocks
{
public:
    NavDocks(QMainWindow *window, const MainMenus *menus);

    void setLanguage(bool english);
    void setEnabled(bool enabled);

    void showSources(const DeviceData &record);
    // The windows in layer order, each with the name of its source.
    void setWinLayers(const QList<int> &layers);
    void setWinSignals(const QMap<int, QString> &names);
    void setWinSignal(int win, const QString &name);
    // The windows shown from a backup, each with its note: italic, a "B"
    // after the source and the note as tool tip.
    void setWinBackups(const QMap<int, QString> &notes);

    // The items the last context menus were opened on; -1 for none.
    int curSource() const { return m_curSource; }
    int curWin() const { return m_curWin; }

    MyNavTree *const sourceTree;
    MyNavTree *const winTree;
    Form_title *titleBar = nullptr;

private:
    QDockWidget *addDock(const char *name, MyNavTree *tree, int area);
    void sourceMenuRequested(const QPoint &pos);
    void winMenuRequested(const QPoint &pos);
    void refreshWinTree();

    QMainWindow *m_window;
    const MainMenus *m_menus;
    QDockWidget *m_sourceDock;
    QDockWidget *m_winDock;
    QList<int> m_winLayers;
    QMap<int, QString> m_winSignals;
    QMap<int, QString> m_winBackups;
    int m_curSource = -1;
    int m_curWin = -1;
};

#endif // NAVDOCKS_H
