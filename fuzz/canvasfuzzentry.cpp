#include "canvasfuzzentry.h"

#include <deviceblocks.h>
#include <wallfile.h>
#include <wallmodel.h>

#include <QDataStream>
#include <QIODevice>

#include <cstdlib>

namespace {

WallGrid wall(int choice)
{
    struct Sizes { QVector<int> widths, heights; };
    static const Sizes walls[] = {
        {{1920, 1920}, {1080, 1080}},
        {{1920, 1920, 1920}, {1080, 1080}},
        {QVector<int>(8, 480), QVector<int>(4, 270)},
        {{3840}, {2160}},
    };
    WallGrid grid;
    grid.setSizes(walls[choice % 4].widths, walls[choice % 4].heights);
    return grid;
}

void check(bool condition)
{
    if (!condition)
        std::abort();
}

} // namespace

bool feedCanvasInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return false;
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char *>(data + 1), int(size - 1));
    WallModel model;
    model.setGrid(wall(data[0]));
    QDataStream in(input);
    if (!WallFile::read(in, &model)) {
        check(model.count() == 0);
        return false;
    }
    QByteArray written;
    QDataStream out(&written, QIODevice::WriteOnly);
    WallFile::write(model, out);
    check(input.startsWith(written));
    check(DeviceBlocks::allData(model).size() == DeviceBlocks::AllDataSize);
    check(DeviceBlocks::inData(model).size() == DeviceBlocks::InDataSize);
    check(DeviceBlocks::chData(model).size() == DeviceBlocks::ChDataSize);
    return true;
}
