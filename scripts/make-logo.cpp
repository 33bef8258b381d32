// Draws the program's icon, a wall of four screens with one window on it,
// at the sizes Windows asks for, and writes them into one .ico file.
//   make-logo <path>/logo.ico

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <cstdio>

namespace {

constexpr int HeaderSize = 6;
constexpr int EntrySize = 16;

QImage drawLogo(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 64.0, size / 64.0);

    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x1d, 0x2b, 0x3f));
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 12, 12);

    const QColor screen(0x4a, 0x5d, 0x78);
    const QColor lit(0x3f, 0xa9, 0xf5);
    for (int k = 0; k < 4; ++k) {
        const int column = k % 2;
        const int row = k / 2;
        const QRectF cell(9 + column * 24, 9 + row * 24, 22, 22);
        painter.setBrush(k == 0 ? lit : screen);
        painter.drawRoundedRect(cell, 4, 4);
    }
    // A window stretched across the lower screens.
    painter.setBrush(QColor(0xf2, 0xf5, 0xf9));
    painter.drawRoundedRect(QRectF(16, 38, 32, 10), 2.5, 2.5);
    return image;
}

QByteArray singleIco(const QImage &image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        std::fprintf(stderr, "make-logo: %s\n", qPrintable(writer.errorString()));
    return bytes;
}

// One .ico from single-image ones: a common header, every directory entry
// with its image's new offset, then the images.
QByteArray mergeIcos(const QList<QByteArray> &icos)
{
    QByteArray header(HeaderSize, 0);
    qToLittleEndian<quint16>(1, header.data() + 2);
    qToLittleEndian<quint16>(quint16(icos.size()), header.data() + 4);
    QByteArray entries;
    QByteArray images;
    const int firstImage = HeaderSize + EntrySize * icos.size();
    for (const QByteArray &ico : icos) {
        QByteArray entry = ico.mid(HeaderSize, EntrySize);
        const quint32 offset = qFromLittleEndian<quint32>(entry.constData() + 12);
        const quint32 length = qFromLittleEndian<quint32>(entry.constData() + 8);
        qToLittleEndian<quint32>(quint32(firstImage + images.size()), entry.data() + 12);
        entries += entry;
        images += ico.mid(int(offset), int(length));
    }
    return header + entries + images;
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-logo <file.ico>\n");
        return 2;
    }
    QList<QByteArray> icos;
    for (int size : {16, 24, 32, 48, 64, 128, 256})
        icos << singleIco(drawLogo(size).convertToFormat(QImage::Format_ARGB32));
    QFile file(QString::fromLocal8Bit(argv[1]));
    if (!file.open(QIODevice::WriteOnly) || file.write(mergeIcos(icos)) < 0) {
        std::fprintf(stderr, "make-logo: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
