#ifndef WALLGRID_H
#define WALLGRID_H

#include <devicelimits.h>

#include <QList>
#include <QRect>
#include <QVector>

// The LED wall: rows and columns of screens, in wall pixels. Screen
// (row r, column c) is number r x cols + c, the order of the wall frame.
class WallGrid
{
public:
    static constexpr int MaxScreens = Limits::WallCells;
    static constexpr int MaxExtent = 0xFFFF; // wall coordinates travel as 16-bit values

    WallGrid(); // 2 x 2 screens of 1920 x 1080

    // False, leaving the grid as it was, for a grid the device cannot hold.
    bool setSizes(const QVector<int> &colWidths, const QVector<int> &rowHeights);
    static bool isValid(const QVector<int> &colWidths, const QVector<int> &rowHeights);

    const QVector<int> &colWidths() const { return m_colWidths; }
    const QVector<int> &rowHeights() const { return m_rowHeights; }
    int rows() const { return m_rowHeights.size(); }
    int cols() const { return m_colWidths.size(); }
    int screenCount() const { return rows() * cols(); }
    QRect bounds() const;
    QRect screenRect(int screen) const;
    int screenAt(const QPointF &point) const; // -1 off the wall
    QList<int> screensUnder(const QRect &rect) const;
    // Screen edges: the left of every column and the right of the wall, and so on.
    QVector<int> verticalEdges() const;
    QVector<int> horizontalEdges() const;

    bool operator==(const WallGrid &other) const;
    bool operator!=(const WallGrid &other) const { return !(*this == other); }

private:
    QVector<int> m_colWidths;
    QVector<int> m_rowHeights;
    QVector<int> m_xs; // column starts plus the wall's right edge
    QVector<int> m_ys;
};

#endif // WALLGRID_H
