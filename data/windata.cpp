#include "windata.h"

namespace {

int byteAt(const QByteArray &data, int i)
{
    return static_cast<quint8>(data.at(i));
}

int word16At(const QByteArray &data, int i)
{
    return byteAt(data, i) | byteAt(data, i + 1) << 8;
}

// x, width, y, height: four 16-bit values, low byte first.
QRect rectAt(const QByteArray &data, int i)
{
    return QRect(word16At(data, i), word16At(data, i + 4),
                 word16At(data, i + 2), word16At(data, i + 6));
}

void setWord16(QByteArray &data, int i, int value)
{
    data[i] = char(value & 0xFF);
    data[i + 1] = char(value >> 8 & 0xFF);
}

void setRect(QByteArray &data, int i, const QRect &rect)
{
    setWord16(data, i, rect.x());
    setWord16(data, i + 2, rect.width());
    setWord16(data, i + 4, rect.y());
    setWord16(data, i + 6, rect.height());
}

} // namespace

WinData WinData::fromBlock(const QByteArray &block)
{
    Q_ASSERT(block.size() >= BlockSize);
    WinData win;
    win.winId = byteAt(block, 0);
    win.b2 = byteAt(block, 2);
    win.b3 = byteAt(block, 3);
    auto cell = win.cells.begin();
    for (int i = 0; i < CellCount / 2; ++i) {
        const int packed = byteAt(block, 4 + i);
        *cell++ = packed >> 4;
        *cell++ = packed & 0x0F;
    }
    win.rectA = rectAt(block, 20);
    win.rectB = rectAt(block, 28);
    return win;
}

QByteArray WinData::toBlock() const
{
    QByteArray block(BlockSize, '\0');
    block[0] = char(winId);
    block[2] = char(b2);
    block[3] = char(b3);
    for (int i = 0; i < CellCount / 2; ++i) {
        const size_t cell = 2 * size_t(i);
        block[4 + i] = char((cells[cell] & 0x0F) << 4 | (cells[cell + 1] & 0x0F));
    }
    setRect(block, 20, rectA);
    setRect(block, 28, rectB);
    return block;
}
