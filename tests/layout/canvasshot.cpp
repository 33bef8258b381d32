// Shows a 2 x 3 wall with overlapping windows, one selected, and saves the
// canvas as a PNG: the picture of the canvas in docs/.
// Usage: canvasshot <file.png> [--locked]

#include <mygraphicsview.h>

#include <QApplication>
#include <QTest>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return 2;
    MyGraphicsView canvas;
    canvas.resize(1100, 420);
    const int widths[] = {1920, 1920, 1920};
    const int heights[] = {1080, 1080};
    canvas.initData(widths, heights, 2, 3);

    struct Shown { QRect rect; int channel; };
    const Shown shown[] = {{{0, 0, 3840, 1080}, 2},           {{300, 400, 2200, 1300}, 34},
                           {{2900, 250, 2500, 1500}, 97},      {{3400, 1300, 2000, 800}, 160},
                           {{4200, 80, 1300, 700}, 5}};
    int layers[64];
    std::fill(std::begin(layers), std::end(layers), 0xFF);
    canvas.Add_Win_layer(layers, 5);
    for (int id = 0; id < 5; ++id)
        canvas.Add_Rect(id, shown[id].rect, QRect(0, 0, 1920, 1080), shown[id].channel, nullptr, 0);
    canvas.Add_End();
    canvas.setLock(args.contains(QStringLiteral("--locked")));
    canvas.show();
    if (!QTest::qWaitForWindowExposed(&canvas))
        return 1;
    QTest::mouseClick(canvas.viewport(), Qt::LeftButton, {}, canvas.mapFromScene(QPointF(1400, 1500)));
    return canvas.grab().save(args.at(1)) ? 0 : 1;
}
