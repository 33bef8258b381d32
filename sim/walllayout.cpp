#include "walllayout.h"

void WallLayout::setGrid(const QVector<int> &widths, const QVector<int> &heights)
{
    rows = quint8(heights.size());
    cols = quint8(widths.size());
    cells.fill(QRect());
    auto cell = cells.begin();
    int y = 0;
    for (int r = 0; r < rows; ++r) {
        int x = 0;
        for (int c = 0; c < cols && cell != cells.end(); ++c) {
            *cell++ = QRect(x, y, widths.at(c), heights.at(r));
            x += widths.at(c);
        }
        y += heights.at(r);
    }
}

WallLayout WallLayout::factory()
{
    WallLayout wall;
    wall.setGrid({1920, 1920}, {1080, 1080});
    return wall;
}
