#ifndef WALLMODEL_H
#define WALLMODEL_H

#include "wallgrid.h"
#include "wallwindow.h"

#include <blocklayout.h>
#include <devicelimits.h>

#include <QList>
#include <QMap>
#include <QVector>

#include <array>

// The windows of one preset on the wall: their geometry, channels, layer
// order and trims. Every edit is checked; a refused edit changes nothing.
class WallModel
{
public:
    static constexpr int MaxWindows = BlockLayout::Slots;
    static constexpr int MaxPerScreen = 4;  // windows one screen can show
    static constexpr int MaxChannel = Limits::LastInputCode;
    // Trimmed sections the channel data block holds after its count byte.
    static constexpr int MaxTrims = (BlockLayout::ChDataSize - 1) / BlockLayout::SectionSize;
    static constexpr int CellCount = BlockLayout::Cells;
    using Cells = std::array<int, CellCount>;

    static QRect pictureRect(); // the whole input picture, 1920 x 1080

    const WallGrid &grid() const { return m_grid; }
    void setGrid(const WallGrid &grid); // clears the windows
    void clear();

    int count() const { return m_layers.size(); }
    bool contains(int id) const { return m_windows.contains(id); }
    const WallWindow &window(int id) const { return *m_windows.constFind(id); }
    const QList<int> &layers() const { return m_layers; } // bottom to top
    int windowAt(const QPointF &point) const;             // topmost, -1 for none
    int freeId() const;                                   // lowest free number, -1 when full
    int trimCount() const;

    bool insert(const WallWindow &window); // on top of the others
    bool remove(int id);
    bool setRect(int id, const QRect &rect);
    bool setSource(int id, const QRect &source);
    bool setChannel(int id, int channel);
    bool setTrim(int id, const WindowSection &trim);
    bool raise(int id);
    bool lower(int id);
    // Replaces the windows with those of a device preset: in the order of
    // its layer table (window numbers, bottom first), then those the table
    // misses in number order. Duplicates and windows the wall cannot show
    // are left out; returns the windows placed.
    int rebuild(const QVector<int> &layerTable, QList<WallWindow> windows);

    // Per screen: 0 when the window does not cover it, else 1 + its layer slot there.
    Cells cells(int id) const;
    QList<WindowSection> sections(int id) const; // trims applied, screen order
    // Whether the window could take this rectangle without overfilling a screen.
    bool fits(int id, const QRect &rect) const;

private:
    bool isValid(const WallWindow &window) const;
    bool isValidRect(const QRect &rect) const;
    static bool isValidSource(const QRect &source);
    static bool isValidTrim(const WindowSection &trim);
    WindowSection plainSection(const WallWindow &window, int screen) const;

    WallGrid m_grid;
    QMap<int, WallWindow> m_windows;
    QList<int> m_layers;
};

#endif // WALLMODEL_H
