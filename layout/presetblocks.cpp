#include "presetblocks.h"

#include "deviceblocks.h"
#include "layoutlog.h"
#include "wallfile.h"
#include "wallmodel.h"

#include <devicedata.h>

#include <QDataStream>

bool PresetBlocks::build(const DeviceData &record, const QList<int> &only)
{
    *this = {};
    WallGrid grid;
    if (!grid.setSizes(record.colWidths, record.rowHeights)) {
        qCWarning(lcLayout) << "the record's wall cannot hold presets";
        return false;
    }
    WallModel model;
    model.setGrid(grid);
    PresetBlocks built;
    for (const QByteArray &view : record.modelView) {
        if (!only.isEmpty() && !only.contains(built.windows.size())) {
            built.windows << QByteArray();
            built.sources << QByteArray();
            built.channels << QByteArray();
            continue;
        }
        model.clear();
        QDataStream in(view);
        if (!view.isEmpty() && !WallFile::read(in, &model)) {
            qCWarning(lcLayout) << "stored preset" << built.windows.size() + 1 << "cannot be read";
            return false;
        }
        built.windows << DeviceBlocks::allData(model);
        built.sources << DeviceBlocks::inData(model);
        built.channels << DeviceBlocks::chData(model);
    }
    *this = built;
    return true;
}
