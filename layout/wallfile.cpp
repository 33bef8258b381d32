#include "wallfile.h"

#include "layoutlog.h"
#include "wallmodel.h"

#include <QDataStream>
#include <QIODevice>

namespace {

// x, y, width, height as T: unsigned on the wall and in the picture,
// signed in trims.
template<typename T>
void writeRect(QDataStream &out, const QRect &r)
{
    out << T(r.x()) << T(r.y()) << T(r.width()) << T(r.height());
}

template<typename T>
QRect readRect(QDataStream &in)
{
    T x = 0, y = 0, width = 0, height = 0;
    in >> x >> y >> width >> height;
    return QRect(x, y, width, height);
}

void writeSizes(QDataStream &out, const QVector<int> &sizes)
{
    for (int size : sizes)
        out << quint16(size);
}

QVector<int> readSizes(QDataStream &in, int count)
{
    QVector<int> sizes;
    for (int i = 0; i < count; ++i) {
        quint16 size = 0;
        in >> size;
        sizes << size;
    }
    return sizes;
}

void writeWindow(QDataStream &out, const WallWindow &w)
{
    out << quint8(w.id) << quint8(w.channel) << quint8(w.b3);
    writeRect<quint16>(out, w.rect);
    writeRect<quint16>(out, w.source);
    out << quint8(w.trims.size());
    for (const WindowSection &trim : w.trims) {
        out << quint8(trim.screen);
        writeRect<qint16>(out, trim.input);
        writeRect<qint16>(out, trim.output);
    }
}

bool readWindow(QDataStream &in, WallWindow *w)
{
    quint8 id = 0, channel = 0, b3 = 0, trims = 0;
    in >> id >> channel >> b3;
    w->id = id;
    w->channel = channel;
    w->b3 = b3;
    w->rect = readRect<quint16>(in);
    w->source = readRect<quint16>(in);
    in >> trims;
    int lastScreen = -1;
    for (int i = 0; i < trims && in.status() == QDataStream::Ok; ++i) {
        quint8 screen = 0;
        in >> screen;
        WindowSection trim;
        trim.screen = screen;
        trim.input = readRect<qint16>(in);
        trim.output = readRect<qint16>(in);
        if (screen <= lastScreen) // in screen order, once each
            return false;
        lastScreen = screen;
        w->trims.insert(screen, trim);
    }
    return in.status() == QDataStream::Ok;
}

bool readWindows(QDataStream &in, WallModel *model)
{
    quint32 magic = 0;
    quint16 version = 0;
    quint8 cols = 0, rows = 0;
    in >> magic >> version >> cols >> rows;
    if (in.status() != QDataStream::Ok || magic != WallFile::Magic || version != WallFile::Version)
        return false;
    const QVector<int> widths = readSizes(in, cols);
    const QVector<int> heights = readSizes(in, rows);
    if (widths != model->grid().colWidths() || heights != model->grid().rowHeights())
        return false;
    quint8 count = 0;
    in >> count;
    if (in.status() != QDataStream::Ok || count > WallModel::MaxWindows)
        return false;
    for (int i = 0; i < count; ++i) {
        WallWindow w;
        if (!readWindow(in, &w) || !model->insert(w))
            return false;
    }
    return true;
}

} // namespace

void WallFile::write(const WallModel &model, QDataStream &out)
{
    const WallGrid &grid = model.grid();
    out << Magic << Version << quint8(grid.cols()) << quint8(grid.rows());
    writeSizes(out, grid.colWidths());
    writeSizes(out, grid.rowHeights());
    out << quint8(model.count());
    for (int id : model.layers())
        writeWindow(out, model.window(id));
}

QByteArray WallFile::bytes(const WallModel &model)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    write(model, out);
    return bytes;
}

bool WallFile::read(QDataStream &in, WallModel *model)
{
    model->clear();
    if (readWindows(in, model))
        return true;
    qCWarning(lcLayout) << "canvas data refused at stream status" << in.status();
    model->clear();
    return false;
}
