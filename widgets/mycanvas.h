#ifndef MYCANVAS_H
#define MYCANVAS_H

#include <QColor>
#include <QFrame>
#include <QPixmap>
#include <QRect>

// The 1920 x 1080 output picture drawn at 871 x 489 pixels with a main
// (blue) and a picture-in-picture (green) rectangle. Both are dragged by
// their inside and resized by their edges and corners; the canvas keeps them
// inside its bounds and at least 10 pixels wide and high, and reports each
// accepted change with move_rect() (1 main, 0 picture in picture).
class MyCanvas : public QFrame
{
    Q_OBJECT

public:
    explicit MyCanvas(QWidget *parent = nullptr);

    // Rectangles in device pixels (x, y, width, height).
    void setMainRect(int x, int y, int w, int h);
    void setPipRect(int x, int y, int w, int h);
    QRect mainRectScaled() const;
    QRect pipRectScaled() const;
    // which 1 = main, else picture in picture; field 0 left, 1 top,
    // 2 width, 3 height; value in device pixels.
    void setRectValue(int which, int field, int value);

    // Rectangles in canvas pixels.
    QRect mainRect() const { return m_mainRect; }
    QRect pipRect() const { return m_pipRect; }

signals:
    void move_rect(int which);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    static int hitRegion(const QRect &rect, const QPoint &pos);
    static void resizeByRegion(QRect &rect, int region, const QPoint &pos);
    void place(QRect &rect, int x, int y, int w, int h) const;
    QRect scaled(const QRect &rect) const;
    void take(const QRect &rect, QRect &atPress, QColor &color, bool &active, const QPoint &pos);
    void drag(QRect &rect, const QRect &atPress, const QPoint &pos, int which);
    bool withinBounds(const QRect &rect) const;
    void hover(const QPoint &pos);
    void drawBackground();

    double m_scaleX;
    double m_scaleY;
    QPixmap m_background;
    QColor m_bgColor;
    bool m_gridVisible;
    int m_gridRows;
    int m_gridCols;
    QRect m_mainRect;
    QRect m_pipRect;
    QPoint m_pressPos;
    QColor m_activeColor;
    bool m_mainActive;
    QColor m_mainColor;
    QRect m_mainAtPress;
    bool m_pipActive;
    QColor m_pipColor;
    QRect m_pipAtPress;
    int m_hitRegion;
    QRect m_bounds;
    QRect m_lastValid;
};

#endif // MYCANVAS_H
