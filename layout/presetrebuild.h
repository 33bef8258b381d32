#ifndef PRESETREBUILD_H
#define PRESETREBUILD_H

#include "wallwindow.h"

#include <QList>
#include <QVector>

class WallModel;

// A preset as the device reports it: its layer table, then its windows one
// by one; finished, they replace a model's windows.
class PresetRebuild
{
public:
    // The layer table holds BlockLayout::LayerSize window numbers.
    void start(const int *layers, int announced);
    void add(const WallWindow &window);
    void finish(WallModel *model);

private:
    QVector<int> m_layers;
    int m_announced = 0;
    QList<WallWindow> m_windows;
};

#endif // PRESETREBUILD_H
