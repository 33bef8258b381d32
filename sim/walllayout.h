#ifndef WALLLAYOUT_H
#define WALLLAYOUT_H

#include <devicelimits.h>
#include <resolution.h>

#include <QRect>
#include <QVector>

#include <array>

// The LED wall: output resolution code, output mode and a grid of up to 32
// screens, each a rectangle in wall pixels.
struct WallLayout
{
    static constexpr int MaxCells = Limits::WallCells;

    quint8 resolution = Resolution::FactoryCode;
    quint8 outputMode = 0; // 0 = one output feeds four screens
    quint8 rows = 0;
    quint8 cols = 0;
    std::array<QRect, MaxCells> cells{};

    // Cells row by row from the column widths and row heights.
    void setGrid(const QVector<int> &widths, const QVector<int> &heights);
    static WallLayout factory();
};

#endif // WALLLAYOUT_H
