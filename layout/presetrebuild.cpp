#include "presetrebuild.h"

#include "layoutlog.h"
#include "wallmodel.h"

void PresetRebuild::start(const int *layers, int announced)
{
    m_layers = QVector<int>(layers, layers + BlockLayout::LayerSize);
    m_announced = announced;
    m_windows.clear();
}

void PresetRebuild::add(const WallWindow &window)
{
    m_windows << window;
}

void PresetRebuild::finish(WallModel *model)
{
    const int placed = model->rebuild(m_layers, m_windows);
    if (placed != m_announced)
        qCDebug(lcLayout) << placed << "windows placed," << m_announced << "announced";
    m_windows.clear();
}
