#include "deviceblocks.h"

#include "wallmodel.h"

namespace {

constexpr char InUse = 1; // byte 1 of a slot that holds a window
constexpr int NibbleBits = 4;

void appendWord(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// x, width, y, height: the order of every rectangle the device takes.
void appendRect(QByteArray &out, const QRect &r)
{
    appendWord(out, r.x());
    appendWord(out, r.width());
    appendWord(out, r.y());
    appendWord(out, r.height());
}

void appendSection(QByteArray &out, int id, const WindowSection &section)
{
    out.append(char(section.screen));
    out.append(char(id));
    appendRect(out, section.input);
    appendRect(out, section.output);
}

QByteArray sourceBlock(const WallModel &model, int id)
{
    QByteArray out;
    appendRect(out, model.window(id).source);
    return out;
}

// A count byte, then the sections.
QByteArray sectionList(const QList<QPair<int, WindowSection>> &sections)
{
    QByteArray out(1, char(sections.size()));
    for (const auto &s : sections)
        appendSection(out, s.first, s.second);
    return out;
}

} // namespace

QByteArray DeviceBlocks::windowBlock(const WallModel &model, int id)
{
    if (!model.contains(id)) {
        QByteArray free(WindowSize, 0);
        free[0] = char(id);
        return free;
    }
    const WallWindow &w = model.window(id);
    QByteArray out;
    out.append(char(id));
    out.append(InUse);
    out.append(char(w.channel));
    out.append(char(w.b3));
    const WallModel::Cells cells = model.cells(id);
    for (int i = 0; i < WallModel::CellCount; i += 2)
        out.append(char(cells[i] << NibbleBits | cells[i + 1]));
    appendRect(out, w.rect);
    return out + sourceBlock(model, id);
}

QByteArray DeviceBlocks::layerBytes(const WallModel &model)
{
    QByteArray out(LayerSize, char(NoLayer));
    for (int i = 0; i < model.layers().size(); ++i)
        out[i] = char(model.layers().at(i));
    return out;
}

QByteArray DeviceBlocks::allData(const WallModel &model)
{
    QByteArray out;
    out.reserve(AllDataSize);
    for (int id = 0; id < BlockLayout::Slots; ++id)
        out += model.contains(id) ? windowBlock(model, id).left(SlotSize) : QByteArray(SlotSize, 0);
    return out + layerBytes(model);
}

QByteArray DeviceBlocks::inData(const WallModel &model)
{
    QByteArray out;
    out.reserve(InDataSize);
    for (int id = 0; id < BlockLayout::Slots; ++id)
        out += model.contains(id) ? sourceBlock(model, id) : QByteArray(SourceSize, 0);
    return out;
}

QByteArray DeviceBlocks::chData(const WallModel &model)
{
    QList<QPair<int, WindowSection>> trimmed;
    for (int id = 0; id < BlockLayout::Slots; ++id) {
        if (!model.contains(id))
            continue;
        for (const WindowSection &s : model.window(id).trims)
            trimmed << qMakePair(id, s);
    }
    QByteArray out = sectionList(trimmed);
    out.append(ChDataSize - out.size(), 0);
    return out;
}

QByteArray DeviceBlocks::windowMessage(const WallModel &model, int id)
{
    QList<QPair<int, WindowSection>> sections;
    if (model.contains(id)) {
        for (const WindowSection &s : model.sections(id))
            sections << qMakePair(id, s);
    }
    return windowBlock(model, id) + layerBytes(model) + sectionList(sections);
}
