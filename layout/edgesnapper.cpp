#include "edgesnapper.h"

#include "wallmodel.h"

#include <cstdlib>

EdgeSnapper::EdgeSnapper(const QVector<int> &xs, const QVector<int> &ys, int reach)
    : m_xs(xs), m_ys(ys), m_reach(reach)
{
}

EdgeSnapper EdgeSnapper::around(const WallModel &model, int draggedId, int reach)
{
    QVector<int> xs = model.grid().verticalEdges();
    QVector<int> ys = model.grid().horizontalEdges();
    for (int id : model.layers()) {
        if (id == draggedId)
            continue;
        const QRect r = model.window(id).rect;
        xs << r.x() << r.x() + r.width();
        ys << r.y() << r.y() + r.height();
    }
    return EdgeSnapper(xs, ys, reach);
}

int EdgeSnapper::offset(const QVector<int> &lines, const QVector<int> &edges) const
{
    int best = 0;
    int bestDistance = m_reach + 1;
    for (int edge : edges) {
        for (int line : lines) {
            const int distance = std::abs(line - edge);
            if (distance < bestDistance) {
                best = line - edge;
                bestDistance = distance;
            }
        }
    }
    return best;
}
