#include "wallmodel.h"

#include "layoutlog.h"

#include <devicelimits.h>

#include <QtMath>

#include <algorithm>
#include <utility>

namespace {

constexpr int PictureWidth = Limits::PictureWidth;
constexpr int PictureHeight = Limits::PictureHeight;
constexpr int MaxByte = 0xFF;
constexpr int MinInt16 = -32768;
constexpr int MaxInt16 = 32767;

bool isInt16(int v)
{
    return v >= MinInt16 && v <= MaxInt16;
}

bool isTrimRect(const QRect &r)
{
    return isInt16(r.x()) && isInt16(r.y()) && r.width() >= 0 && r.width() <= MaxInt16
        && r.height() >= 0 && r.height() <= MaxInt16;
}

// offset * num / den, rounded; the wall and the picture scale linearly.
int scaled(int offset, int num, int den)
{
    return qRound(qreal(offset) * num / den);
}

} // namespace

QRect WallModel::pictureRect()
{
    return QRect(0, 0, PictureWidth, PictureHeight);
}

void WallModel::setGrid(const WallGrid &grid)
{
    m_grid = grid;
    clear();
}

void WallModel::clear()
{
    m_windows.clear();
    m_layers.clear();
}

int WallModel::windowAt(const QPointF &point) const
{
    for (auto it = m_layers.crbegin(); it != m_layers.crend(); ++it) {
        if (QRectF(window(*it).rect).contains(point))
            return *it;
    }
    return -1;
}

int WallModel::freeId() const
{
    for (int id = 0; id < MaxWindows; ++id) {
        if (!contains(id))
            return id;
    }
    return -1;
}

int WallModel::trimCount() const
{
    int n = 0;
    for (const WallWindow &w : m_windows)
        n += w.trims.size();
    return n;
}

bool WallModel::insert(const WallWindow &window)
{
    if (contains(window.id) || !isValid(window) || !fits(window.id, window.rect)
        || trimCount() + window.trims.size() > MaxTrims)
        return false;
    m_windows.insert(window.id, window);
    m_layers << window.id;
    return true;
}

int WallModel::rebuild(const QVector<int> &layerTable, QList<WallWindow> windows)
{
    std::stable_sort(windows.begin(), windows.end(),
                     [](const WallWindow &a, const WallWindow &b) { return a.id < b.id; });
    clear();
    for (int id : layerTable) {
        const auto it = std::find_if(windows.cbegin(), windows.cend(),
                                     [id](const WallWindow &w) { return w.id == id; });
        if (it != windows.cend() && !contains(id))
            insert(*it);
    }
    for (const WallWindow &w : std::as_const(windows)) {
        if (!contains(w.id) && !insert(w))
            qCWarning(lcLayout) << "device window" << w.id << "left out";
    }
    return count();
}

bool WallModel::remove(int id)
{
    m_layers.removeOne(id);
    return m_windows.remove(id) > 0;
}

bool WallModel::setRect(int id, const QRect &rect)
{
    if (!contains(id) || !isValidRect(rect) || !fits(id, rect))
        return false;
    WallWindow &w = m_windows[id];
    if (w.rect != rect) {
        w.rect = rect;
        w.trims.clear();
    }
    return true;
}

bool WallModel::setSource(int id, const QRect &source)
{
    if (!contains(id) || !isValidSource(source))
        return false;
    WallWindow &w = m_windows[id];
    if (w.source != source) {
        w.source = source;
        w.trims.clear();
    }
    return true;
}

bool WallModel::setChannel(int id, int channel)
{
    if (!contains(id) || channel < 0 || channel > MaxChannel)
        return false;
    m_windows[id].channel = channel;
    return true;
}

bool WallModel::setTrim(int id, const WindowSection &trim)
{
    if (!contains(id) || !isValidTrim(trim)
        || !m_grid.screensUnder(window(id).rect).contains(trim.screen))
        return false;
    WallWindow &w = m_windows[id];
    if (!w.trims.contains(trim.screen) && trimCount() >= MaxTrims)
        return false;
    w.trims.insert(trim.screen, trim);
    return true;
}

bool WallModel::raise(int id)
{
    if (!m_layers.removeOne(id))
        return false;
    m_layers.append(id);
    return true;
}

bool WallModel::lower(int id)
{
    if (!m_layers.removeOne(id))
        return false;
    m_layers.prepend(id);
    return true;
}

WallModel::Cells WallModel::cells(int id) const
{
    Cells cells{};
    const QRect rect = window(id).rect;
    for (int screen : m_grid.screensUnder(rect)) {
        const QRect area = m_grid.screenRect(screen);
        int below = 0;
        for (int other : m_layers) {
            if (other == id)
                break;
            below += window(other).rect.intersects(area) ? 1 : 0;
        }
        cells[screen] = 1 + below;
    }
    return cells;
}

QList<WindowSection> WallModel::sections(int id) const
{
    const WallWindow &w = window(id);
    QList<WindowSection> list;
    for (int screen : m_grid.screensUnder(w.rect))
        list << w.trims.value(screen, plainSection(w, screen));
    return list;
}

bool WallModel::fits(int id, const QRect &rect) const
{
    for (int screen : m_grid.screensUnder(rect)) {
        const QRect area = m_grid.screenRect(screen);
        const int shown = int(std::count_if(m_windows.cbegin(), m_windows.cend(), [&](const WallWindow &w) {
            return w.id != id && w.rect.intersects(area);
        }));
        if (shown >= MaxPerScreen)
            return false;
    }
    return true;
}

bool WallModel::isValid(const WallWindow &window) const
{
    if (window.id < 0 || window.id >= MaxWindows || window.channel < 0 || window.channel > MaxChannel
        || window.b3 < 0 || window.b3 > MaxByte || !isValidRect(window.rect)
        || !isValidSource(window.source))
        return false;
    const QList<int> screens = m_grid.screensUnder(window.rect);
    for (auto it = window.trims.cbegin(); it != window.trims.cend(); ++it) {
        if (it.key() != it->screen || !screens.contains(it.key()) || !isValidTrim(*it))
            return false;
    }
    return true;
}

bool WallModel::isValidRect(const QRect &rect) const
{
    return !rect.isEmpty() && m_grid.bounds().contains(rect);
}

bool WallModel::isValidSource(const QRect &source)
{
    return !source.isEmpty() && source.x() >= 0 && source.y() >= 0
        && source.x() + source.width() <= WallGrid::MaxExtent
        && source.y() + source.height() <= WallGrid::MaxExtent;
}

bool WallModel::isValidTrim(const WindowSection &trim)
{
    return isTrimRect(trim.input) && isTrimRect(trim.output);
}

WindowSection WallModel::plainSection(const WallWindow &window, int screen) const
{
    const QRect area = m_grid.screenRect(screen);
    const QRect part = window.rect & area;
    const QRect &r = window.rect;
    const QRect &s = window.source;
    const int x0 = s.x() + scaled(part.x() - r.x(), s.width(), r.width());
    const int x1 = s.x() + scaled(part.x() + part.width() - r.x(), s.width(), r.width());
    const int y0 = s.y() + scaled(part.y() - r.y(), s.height(), r.height());
    const int y1 = s.y() + scaled(part.y() + part.height() - r.y(), s.height(), r.height());
    return {screen, QRect(x0, y0, x1 - x0, y1 - y0), part.translated(-area.topLeft())};
}
