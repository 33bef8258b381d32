// Writes the largest image of an .ico file as a PNG: the program's icon for
// the desktop entry, drawn from the same logo as the Windows icon.
//   rz5300-icon <logo.ico> <icon.png>

#include <QCoreApplication>
#include <QImage>
#include <QImageReader>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: rz5300-icon <logo.ico> <icon.png>\n");
        return 2;
    }
    QImageReader reader(QString::fromLocal8Bit(argv[1]));
    QImage largest;
    do {
        const QImage image = reader.read();
        if (image.width() > largest.width())
            largest = image;
    } while (reader.jumpToNextImage());
    if (largest.isNull() || !largest.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
        std::fprintf(stderr, "rz5300-icon: cannot turn %s into %s\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
