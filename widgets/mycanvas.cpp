#include "mycanvas.h"

#include <devicelimits.h>

#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int CanvasWidth = 871;
constexpr int CanvasHeight = 489;
constexpr int EdgeBand = 5; // width of the grab band along edges and corners
constexpr int MinSide = 10; // smallest width and height a drag may leave

const QColor MainColor(85, 170, 255);
const QColor PipColor(80, 163, 63);

constexpr int Inside = -1;

// Cursor shape of each hit region 1 .. 8.
const Qt::CursorShape RegionCursors[] = {
    Qt::SizeFDiagCursor, Qt::SizeBDiagCursor, Qt::SizeBDiagCursor, Qt::SizeFDiagCursor,
    Qt::SizeVerCursor,   Qt::SizeVerCursor,   Qt::SizeHorCursor,   Qt::SizeHorCursor,
};

Qt::CursorShape cursorOf(int region)
{
    return region == Inside ? Qt::OpenHandCursor : RegionCursors[region - 1];
}

} // namespace

MyCanvas::MyCanvas(QWidget *parent)
    : QFrame(parent)
    , m_scaleX(double(Limits::PictureWidth) / CanvasWidth)
    , m_scaleY(double(Limits::PictureHeight) / CanvasHeight)
    , m_bgColor(Qt::lightGray)
    , m_gridVisible(true)
    , m_gridRows(30)
    , m_gridCols(30)
    , m_mainRect(20, 20, 160, 160)
    , m_pipRect(200, 20, 160, 160)
    , m_activeColor(255, 50, 50)
    , m_mainActive(false)
    , m_mainColor(MainColor)
    , m_pipActive(false)
    , m_pipColor(PipColor)
    , m_hitRegion(Inside)
    , m_bounds(0, 0, CanvasWidth, CanvasHeight)
{
    drawBackground();
    setMouseTracking(true);
}

void MyCanvas::setMainRect(int x, int y, int w, int h)
{
    place(m_mainRect, x, y, w, h);
    update();
}

void MyCanvas::setPipRect(int x, int y, int w, int h)
{
    place(m_pipRect, x, y, w, h);
    update();
}

QRect MyCanvas::mainRectScaled() const
{
    return scaled(m_mainRect);
}

QRect MyCanvas::pipRectScaled() const
{
    return scaled(m_pipRect);
}

void MyCanvas::setRectValue(int which, int field, int value)
{
    QRect &rect = which == 1 ? m_mainRect : m_pipRect;
    switch (field) {
    case 0:
        rect.setLeft(int(value / m_scaleX));
        break;
    case 1:
        rect.setTop(int(value / m_scaleY));
        break;
    case 2:
        rect.setWidth(int(value / m_scaleX));
        break;
    case 3:
        rect.setHeight(int(value / m_scaleY));
        break;
    default:
        break;
    }
    update();
}

void MyCanvas::mousePressEvent(QMouseEvent *event)
{
    // One drag at a time: a second button does not take over the rectangle.
    if (m_mainActive || m_pipActive)
        return;
    const QPoint pos = event->pos();
    if (m_pipRect.contains(pos))
        take(m_pipRect, m_pipAtPress, m_pipColor, m_pipActive, pos);
    else if (m_mainRect.contains(pos))
        take(m_mainRect, m_mainAtPress, m_mainColor, m_mainActive, pos);
    update();
}

void MyCanvas::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint pos = event->pos();
    if (m_mainActive)
        drag(m_mainRect, m_mainAtPress, pos, 1);
    else if (m_pipActive && m_bounds.contains(pos))
        drag(m_pipRect, m_pipAtPress, pos, 0);
    else if (!m_pipActive)
        hover(pos);
}

void MyCanvas::mouseReleaseEvent(QMouseEvent *)
{
    if (m_mainActive) {
        m_mainActive = false;
        m_mainColor = MainColor;
        m_mainRect = m_lastValid;
        update();
    } else if (m_pipActive) {
        m_pipActive = false;
        m_pipColor = PipColor;
        m_pipRect = m_lastValid;
        update();
    }
    setCursor(Qt::ArrowCursor);
}

void MyCanvas::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPixmap(0, 0, m_background);
    painter.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    painter.setBrush(m_mainColor);
    painter.drawRect(m_mainRect);
    painter.setBrush(m_pipColor);
    painter.drawRect(m_pipRect);
}

void MyCanvas::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    drawBackground();
    update();
}

// Point relative to the rectangle's top-left corner: 1 .. 4 corners
// (top-left, top-right, bottom-left, bottom-right), 5 .. 8 edges (top,
// bottom, left, right), Inside for the rest. The outermost pixel row and
// column belong to the inside.
int MyCanvas::hitRegion(const QRect &rect, const QPoint &pos)
{
    const int x = pos.x() - rect.x();
    const int y = pos.y() - rect.y();
    const bool left = 1 <= x && x < EdgeBand;
    const bool right = rect.width() - EdgeBand < x && x < rect.width();
    const bool top = 1 <= y && y < EdgeBand;
    const bool bottom = rect.height() - EdgeBand < y && y < rect.height();
    if (top && left)
        return 1;
    if (top && right)
        return 2;
    if (bottom && left)
        return 3;
    if (bottom && right)
        return 4;
    if (top)
        return 5;
    if (bottom)
        return 6;
    if (left)
        return 7;
    return right ? 8 : Inside;
}

void MyCanvas::resizeByRegion(QRect &rect, int region, const QPoint &pos)
{
    switch (region) {
    case 1:
        rect.setTopLeft(pos);
        break;
    case 2:
        rect.setTopRight(pos);
        break;
    case 3:
        rect.setBottomLeft(pos);
        break;
    case 4:
        rect.setBottomRight(pos);
        break;
    case 5:
        rect.setTop(pos.y());
        break;
    case 6:
        rect.setBottom(pos.y());
        break;
    case 7:
        rect.setLeft(pos.x());
        break;
    default:
        rect.setRight(pos.x());
        break;
    }
}

void MyCanvas::place(QRect &rect, int x, int y, int w, int h) const
{
    rect.setLeft(int(x / m_scaleX));
    rect.setTop(int(y / m_scaleY));
    rect.setWidth(int(w / m_scaleX));
    rect.setHeight(int(h / m_scaleY));
}

QRect MyCanvas::scaled(const QRect &rect) const
{
    return QRect(int(rect.x() * m_scaleX), int(rect.y() * m_scaleY),
                 int(rect.width() * m_scaleX), int(rect.height() * m_scaleY));
}

void MyCanvas::take(const QRect &rect, QRect &atPress, QColor &color, bool &active,
                    const QPoint &pos)
{
    m_hitRegion = hitRegion(rect, pos);
    active = true;
    color = m_activeColor;
    m_pressPos = pos;
    atPress = rect;
    m_lastValid = rect;
}

// Resizes or moves the grabbed rectangle; a state outside the bounds stays
// on show until the release puts back the last accepted one.
void MyCanvas::drag(QRect &rect, const QRect &atPress, const QPoint &pos, int which)
{
    if (m_hitRegion == Inside) {
        const QPoint shift = pos - m_pressPos;
        const int left = qMin(qMax(atPress.left() + shift.x(), 0),
                              m_bounds.width() - atPress.width());
        const int top = qMin(qMax(atPress.top() + shift.y(), 0),
                             m_bounds.height() - atPress.height());
        rect.moveTopLeft(QPoint(left, top));
    } else {
        resizeByRegion(rect, m_hitRegion, pos);
    }
    if (withinBounds(rect)) {
        if (rect.width() >= MinSide && rect.height() >= MinSide) {
            m_lastValid = rect;
            emit move_rect(which);
        } else {
            rect = m_lastValid;
        }
    }
    update();
}

// Touching the bounds is allowed; a rectangle turned inside out by a resize
// counts by its normalised edges.
bool MyCanvas::withinBounds(const QRect &rect) const
{
    const QRect r = rect.normalized();
    return r.left() >= m_bounds.left() && r.top() >= m_bounds.top()
           && r.right() <= m_bounds.right() && r.bottom() <= m_bounds.bottom();
}

void MyCanvas::hover(const QPoint &pos)
{
    if (m_pipRect.contains(pos))
        setCursor(cursorOf(hitRegion(m_pipRect, pos)));
    else if (m_mainRect.contains(pos))
        setCursor(cursorOf(hitRegion(m_mainRect, pos)));
    else
        setCursor(Qt::ArrowCursor);
}

void MyCanvas::drawBackground()
{
    m_background = QPixmap(size());
    m_background.fill(m_bgColor);
    if (!m_gridVisible || m_background.isNull())
        return;
    QPainter painter(&m_background);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    const int rowStep = m_background.height() / m_gridRows;
    const int colStep = m_background.width() / m_gridCols;
    for (int i = 0; i <= m_gridRows; ++i)
        painter.drawLine(0, i * rowStep, width(), i * rowStep);
    for (int j = 0; j <= m_gridCols; ++j)
        painter.drawLine(j * colStep, 0, j * colStep, height());
}
