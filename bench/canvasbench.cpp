// Rebuilds 16 presets of 64 windows each on the wall canvas as the main
// window does after reading the device (clear, Add_Win_layer, 64 x
// Add_Rect, Add_End, fileSave), loads them back (fileOpen) and builds their
// device blocks; prints the time per preset. Target: under 5 ms.

#include <deviceblocks.h>
#include <mygraphicsview.h>

#include <QApplication>
#include <QDataStream>
#include <QElapsedTimer>
#include <QIODevice>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <utility>

namespace {

constexpr int Presets = 16;
constexpr int Windows = 64;
constexpr int Rounds = 20;

struct DeviceWindow
{
    int id;
    QRect rectA;
    QRect rectB;
    int b2;
};

// A 4 x 8 wall of 480 x 270: every screen shows a whole-screen window and a
// quarter-screen one over it; presets differ in their numbering and layers.
QList<DeviceWindow> presetWindows(int preset)
{
    QList<DeviceWindow> wins;
    for (int i = 0; i < Windows; ++i) {
        const int screen = (i + preset) % 32;
        const QPoint corner(480 * (screen % 8), 270 * (screen / 8));
        const QSize size = i < 32 ? QSize(480, 270) : QSize(240, 135);
        wins << DeviceWindow{(i * 7 + preset) % Windows, QRect(corner, size),
                             QRect(0, 0, 1920 - i, 1080), (i * 3 + preset) % 224};
    }
    return wins;
}

double msPerPreset(qint64 nanoseconds)
{
    return double(nanoseconds) / 1e6 / (Presets * Rounds);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MyGraphicsView canvas;
    const std::array<int, 8> widths{480, 480, 480, 480, 480, 480, 480, 480};
    const std::array<int, 4> heights{270, 270, 270, 270};
    canvas.initData(widths.data(), heights.data(), 4, 8);
    canvas.setDisSend();

    std::array<QList<DeviceWindow>, Presets> presets;
    std::array<std::array<int, Windows>, Presets> layers;
    for (int p = 0; p < Presets; ++p) {
        presets[p] = presetWindows(p);
        for (int i = 0; i < Windows; ++i)
            layers[p][i] = presets[p][i].id;
    }

    std::array<QByteArray, Presets> views;
    QElapsedTimer timer;
    timer.start();
    for (int round = 0; round < Rounds; ++round) {
        for (int p = 0; p < Presets; ++p) {
            canvas.ClearAllData();
            canvas.Add_Win_layer(layers[p].data(), Windows);
            const std::array<int, 32> cells{};
            for (const DeviceWindow &w : std::as_const(presets[p]))
                canvas.Add_Rect(w.id, w.rectA, w.rectB, w.b2, cells.data(), 0);
            canvas.Add_End();
            views[p].clear();
            QDataStream out(&views[p], QIODevice::ReadWrite);
            canvas.fileSave(out);
        }
    }
    const qint64 rebuild = timer.nsecsElapsed();

    timer.restart();
    int loaded = 0;
    for (int round = 0; round < Rounds; ++round) {
        for (int p = 0; p < Presets; ++p) {
            QDataStream in(views[p]);
            loaded += canvas.fileOpen(in) && canvas.model().count() == Windows ? 1 : 0;
        }
    }
    const qint64 load = timer.nsecsElapsed();

    timer.restart();
    int bytes = 0;
    for (int round = 0; round < Rounds; ++round) {
        for (int p = 0; p < Presets; ++p) {
            QDataStream in(views[p]);
            canvas.fileOpen(in);
            bytes += canvas.getAllData().size() + canvas.getInData().size() + canvas.getChData().size();
        }
    }
    const qint64 write = timer.nsecsElapsed();

    QTextStream(stdout) << Presets << " presets of " << Windows << " windows, " << Rounds << " rounds\n"
                        << "rebuild and save: " << msPerPreset(rebuild) << " ms per preset\n"
                        << "load:             " << msPerPreset(load) << " ms per preset\n"
                        << "load and blocks:  " << msPerPreset(write) << " ms per preset\n";
    constexpr int BlockBytes = DeviceBlocks::AllDataSize + DeviceBlocks::InDataSize + DeviceBlocks::ChDataSize;
    return loaded == Presets * Rounds && bytes == Presets * Rounds * BlockBytes ? 0 : 1;
}
