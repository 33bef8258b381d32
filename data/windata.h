#ifndef WINDATA_H
#define WINDATA_H

#include <blocklayout.h>

#include <QByteArray>
#include <QRect>

#include <array>

// One window of a preset as the device reports it.
struct WinData
{
    static constexpr int BlockSize = 36;
    static constexpr int CellCount = BlockLayout::Cells;

    int winId = 0;
    std::array<int, CellCount> cells{}; // per wall cell, 0 to 15
    int b2 = 0;
    QRect rectA; // on the wall
    QRect rectB; // in the input picture
    int b3 = 0;

    // Decodes a 36-byte window block; the caller checks the size.
    static WinData fromBlock(const QByteArray &block);
    // The block fromBlock() reads this window from; byte 1, which it does
    // not read, is 0.
    QByteArray toBlock() const;
};

#endif // WINDATA_H
