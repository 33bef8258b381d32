#ifndef MYGRAPHICSVIEW_H
#define MYGRAPHICSVIEW_H

#include "pointeredit.h"
#include "presetrebuild.h"
#include "walleditor.h"

#include <bilingual.h>

#include <QByteArray>
#include <QGraphicsView>
#include <QList>
#include <QMap>
#include <QUndoStack>

class CanvasMenu;
class WallScene;

// The wall canvas: the LED wall's screens in wall pixels with the windows
// of the preset shown on top, in layer order. Operators create windows by
// dropping sources or drawing on the wall, select, move, resize, nudge,
// stack and delete them; each committed change is reported with the
// device's bytes for it. The view takes the input and shows the scene; the
// edits are its editor's.
class MyGraphicsView : public QGraphicsView
{
    Q_OBJECT

public:
    explicit MyGraphicsView(QWidget *parent = nullptr);

    // Channel of the windows drawn on the wall; the main window sets it to
    // the first source.
    int curChannel = 0;

    void setLanguage(int language); // 1 English, else Chinese
    // The wall grid; clears the windows. Output mode and resolution do not
    // change the canvas.
    void initData(const int *colWidths, const int *rowHeights, int rows, int cols);
    void ClearAllData();

    // Rebuilding a preset from the device's windows: the 64 layer bytes,
    // each window, then Add_End.
    void Add_Win_layer(const int *layers, int count);
    void Add_Rect(const int &winId, const QRect &rectA, const QRect &rectB, const int &b2,
                  const int *cells, const int &b3);
    void Add_End();

    void fileSave(QDataStream &out) const;
    bool fileOpen(QDataStream &in); // false, with an empty canvas, on bad data

    QByteArray getAllData() const;
    QByteArray getInData() const;
    QByteArray getChData() const;
    QMap<int, QString> getWinSingle() const;
    // The windows shown that run on backup inputs, with their notes.
    void setWindowBackups(const QMap<int, QString> &notes);
    void getWinLayer();
    void setTopLayerWin(const int &win);
    void setButtonLayerWin(const int &win);
    void setLock(const bool &lock);
    // Edits stay with the host: nothing is sent, each edit, undo and redo
    // is reported by keptHere().
    void setKeptHere(bool kept);
    // The preset shown is the one on air while edits are kept here: it
    // takes no edits, as when locked, and says why.
    void setOnAirLock(bool locked);
    bool isOnAirLocked() const { return m_onAirLock; }
    // Per screen section: screen, channel, input x, y, w, h, output x, y, w, h.
    QList<int> getItemRect(int win) const;
    void setDisSend();
    void setSend();

    const WallModel &model() const { return m_editor.model(); }
    int selectedWindow() const { return m_editor.selected(); }
    bool isLocked() const { return m_editor.isLocked(); }
    // Nudges not yet sent: they go when the keys have rested a moment.
    bool changePending() const { return m_editor.sender().isWaiting(); }
    const Bilingual &text() const { return m_text; }

    // Where committed edits go for undo; none while null.
    void setUndoStack(QUndoStack *stack);
    // Undo and redo of edits: the windows as the model holds them, the
    // given window's first (-1: none first).
    void replayEdit(const WallModel &model, int window);
    void replaySource(int window, int code);
    void replayDeleteAll();

public slots:
    void setInCard(int win, int code);
    void setTrim(const int win, const int screen, const QList<int> &values);
    void setTrimInRect(const int win, const QRect rect);
    void setTrimOutRect(const int win, const QRectF rect);

signals:
    void fine_tuning(const int win);
    void fine_tuning_data(const QList<int> data);
    void setModelName();
    void s_allMessage(const QByteArray data);
    void s_win_single(const QByteArray data);
    void ignore_message(const int code);
    void s_delteAll();
    void s_win_mes(const QList<int> layers);
    void s_creat_win(int win, int code);
    void keptHere();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void drawForeground(QPainter *painter, const QRectF &rect) override;

private:
    void rebuildScene();
    void syncWindows();
    void windowsChanged();
    void fitWall();
    void select(int id);
    qreal scale() const; // wall pixels of one view pixel
    void updateCursor(const QPointF &scenePos);
    void finishDrag(const QPointF &scenePos);
    void cancelDrag();
    int droppedChannel(const QDropEvent *event) const; // -1 for none
    void connectMenu(const CanvasMenu *menu);

    WallEditor m_editor{this};
    PresetRebuild m_rebuild;
    WallScene *m_scene;
    PointerEdit m_pointer{m_scene};
    Bilingual m_text{true};
    bool m_lock = false;
    bool m_onAirLock = false;
};

#endif // MYGRAPHICSVIEW_H
