#include "wallgrid.h"

#include <algorithm>
#include <numeric>

namespace {

constexpr int DefaultWidth = 1920;
constexpr int DefaultHeight = 1080;

QVector<int> edgesOf(const QVector<int> &sizes)
{
    QVector<int> edges(1, 0);
    for (int size : sizes)
        edges << edges.last() + size;
    return edges;
}

bool isValidSide(const QVector<int> &sizes)
{
    const bool positive = std::all_of(sizes.cbegin(), sizes.cend(), [](int s) {
        return s > 0 && s <= WallGrid::MaxExtent;
    });
    return !sizes.isEmpty() && positive
        && std::accumulate(sizes.cbegin(), sizes.cend(), qint64(0)) <= WallGrid::MaxExtent;
}

// Index of the cell of [edges[i], edges[i + 1]) holding v, -1 outside.
int cellAt(const QVector<int> &edges, qreal v)
{
    if (v < edges.first() || v >= edges.last())
        return -1;
    return int(std::upper_bound(edges.cbegin(), edges.cend(), v) - edges.cbegin()) - 1;
}

} // namespace

WallGrid::WallGrid()
{
    setSizes({DefaultWidth, DefaultWidth}, {DefaultHeight, DefaultHeight});
}

bool WallGrid::isValid(const QVector<int> &colWidths, const QVector<int> &rowHeights)
{
    return isValidSide(colWidths) && isValidSide(rowHeights)
        && colWidths.size() * rowHeights.size() <= MaxScreens;
}

bool WallGrid::setSizes(const QVector<int> &colWidths, const QVector<int> &rowHeights)
{
    if (!isValid(colWidths, rowHeights))
        return false;
    m_colWidths = colWidths;
    m_rowHeights = rowHeights;
    m_xs = edgesOf(colWidths);
    m_ys = edgesOf(rowHeights);
    return true;
}

QRect WallGrid::bounds() const
{
    return QRect(0, 0, m_xs.last(), m_ys.last());
}

QRect WallGrid::screenRect(int screen) const
{
    const int r = screen / cols();
    const int c = screen % cols();
    return QRect(m_xs[c], m_ys[r], m_colWidths[c], m_rowHeights[r]);
}

int WallGrid::screenAt(const QPointF &point) const
{
    const int c = cellAt(m_xs, point.x());
    const int r = cellAt(m_ys, point.y());
    return c < 0 || r < 0 ? -1 : r * cols() + c;
}

QList<int> WallGrid::screensUnder(const QRect &rect) const
{
    QList<int> screens;
    for (int k = 0; k < screenCount(); ++k) {
        if (screenRect(k).intersects(rect))
            screens << k;
    }
    return screens;
}

QVector<int> WallGrid::verticalEdges() const
{
    return m_xs;
}

QVector<int> WallGrid::horizontalEdges() const
{
    return m_ys;
}

bool WallGrid::operator==(const WallGrid &other) const
{
    return m_colWidths == other.m_colWidths && m_rowHeights == other.m_rowHeights;
}
