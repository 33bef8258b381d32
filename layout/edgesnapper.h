#ifndef EDGESNAPPER_H
#define EDGESNAPPER_H

#include <QVector>

class WallModel;

// Pulls dragged window edges onto nearby lines: the screens' edges and the
// edges of the other windows.
class EdgeSnapper
{
public:
    EdgeSnapper() = default;
    EdgeSnapper(const QVector<int> &xs, const QVector<int> &ys, int reach);
    // Lines of the model's wall and of its windows other than the one dragged.
    static EdgeSnapper around(const WallModel &model, int draggedId, int reach);

    // Offset that puts the nearest of the edges on a line within reach, else 0.
    int offsetX(const QVector<int> &edges) const { return offset(m_xs, edges); }
    int offsetY(const QVector<int> &edges) const { return offset(m_ys, edges); }

private:
    int offset(const QVector<int> &lines, const QVector<int> &edges) const;

    QVector<int> m_xs;
    QVector<int> m_ys;
    int m_reach = 0;
};

#endif // EDGESNAPPER_H
