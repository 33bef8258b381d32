// Robustness soak: the main window (offscreen) against an in-process
// simulator over a pseudo-terminal that drops, splits and garbles replies;
// 1000 operator commands of every kind in a seeded random order, each
// waited for until the wait page closes or times out. Then what the
// operator sees (presets, wall, current preset, entries) must match the
// simulator's model before anything is read again, and so must a clean full
// read; pulling the terminal while linked must save the data file, disable
// the views and allow a reconnect. Exits non-zero on a mismatch, or
// (watchdog) when nothing moves for 30 s.

#include "wiretime.h"

#include <appdirectory.h>
#include <commandbuilder.h>
#include <devicelimits.h>
#include <devicesimulator.h>
#include <linksettings.h>
#include <mainwindow.h>
#include <mygraphicsview.h>
#include <presetblocks.h>
#include <singleton_serialport.h>
#include <windowdriver.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

namespace {

using WireTime::out;

constexpr int Commands = 1000;
constexpr quint32 Seed = 5300;
constexpr int SettleLimitMs = 20000;
constexpr int AnswerEveryMs = 10;
constexpr int StallLimitS = 30;
const QString TimeoutText = QStringLiteral("Send timeout, please try to resend");

std::atomic<int> progress{0};
int resends = 0;
QMap<QString, int> givenUp; // by request code

// Counts the link's resends and the requests it gave up; of the other
// diagnostics only a fatal one is printed.
void countResends(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (qstrcmp(context.category, "rz5300.link") == 0 && message.contains(QLatin1String("sending it again")))
        ++resends;
    if (qstrcmp(context.category, "rz5300.link") == 0 && message.contains(QLatin1String("given up")))
        ++givenUp[message.section(QLatin1Char(' '), 4, 4)];
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Aborts the process when the soak stops moving, from a thread of its own
// so that a blocked main thread is caught too.
void startWatchdog()
{
    std::thread([] {
        int last = -1;
        auto since = std::chrono::steady_clock::now();
        for (;;) {
            std::this_thread::sleep_for(std::chrono::seconds(1));
            const int now = progress.load();
            if (now != last) {
                last = now;
                since = std::chrono::steady_clock::now();
            } else if (std::chrono::steady_clock::now() - since > std::chrono::seconds(StallLimitS)) {
                std::fprintf(stderr, "HANG: no progress for %d s at step %d\n", StallLimitS, now);
                std::_Exit(3);
            }
        }
    }).detach();
}

class Soak
{
public:
    Soak();
    int run();

private:
    MyGraphicsView *canvas() const { return m_driver.canvas(); }
    int random(int bound) { return int(m_random.bounded(quint32(bound))); }
    QPointF randomPoint();
    int randomWindow();
    int randomChannel();

    void issue(int kind);
    void post(const LinkRequest &request);
    void dropWindow();
    void dragWindow();
    void nudgeOrDelete(Qt::Key key);
    void deleteAllByMenu();

    int compareWithDevice();
    bool pullAndReconnect();

    QTemporaryDir m_files;
    QTemporaryDir m_devices;
    DeviceSimulator m_sim;
    Singleton_SerialPort *m_link = Singleton_SerialPort::instance();
    QRandomGenerator m_random{Seed};
    WindowDriver m_driver{AnswerEveryMs};
    QString m_ptyPath;
};

Soak::Soak()
{
    AppDirectory::setPath(m_files.path());
    if (!m_sim.openPty(m_devices.filePath(QStringLiteral("ttyRZ"))))
        qFatal("cannot open the simulator's terminal");
    m_ptyPath = m_sim.ptyPath();
    m_link->setLinkSettings({"1", "", "0", "", "", "", m_ptyPath});
    m_link->postKeptTag(QByteArray(8, 'h'), false);
    writeSettings(1);
    m_driver.settleLimitMs = SettleLimitMs;
}

QPointF Soak::randomPoint()
{
    const QRect wall = canvas()->model().grid().bounds();
    return QPoint(wall.x() + random(qMax(1, wall.width())), wall.y() + random(qMax(1, wall.height())));
}

int Soak::randomWindow()
{
    const QList<int> &ids = canvas()->model().layers();
    return ids.isEmpty() ? -1 : ids.at(random(ids.size()));
}

int Soak::randomChannel()
{
    const QList<int> codes = m_link->dm_data.channelList();
    return codes.isEmpty() ? 1 : codes.at(random(codes.size()));
}

// Posts as the dialogs do.
void Soak::post(const LinkRequest &request)
{
    m_link->send(request);
}

void Soak::dropWindow()
{
    m_driver.drop(randomChannel(), randomPoint());
}

void Soak::dragWindow()
{
    const int id = randomWindow();
    if (id < 0)
        return dropWindow();
    m_driver.drag(canvas()->model().window(id).rect.center(), randomPoint());
}

void Soak::nudgeOrDelete(Qt::Key key)
{
    const int id = randomWindow();
    if (id < 0)
        return dropWindow();
    m_driver.click(canvas()->model().window(id).rect.center());
    QTest::keyClick(canvas(), key);
}

// "Delete all" of the canvas menu, opened over a free spot of the wall.
void Soak::deleteAllByMenu()
{
    const QRect wall = canvas()->model().grid().bounds();
    QPointF spot;
    for (int i = 0; i < 50; ++i) {
        spot = randomPoint();
        if (canvas()->model().windowAt(spot) < 0 && wall.contains(spot.toPoint()))
            break;
    }
    m_driver.chooseFromMenu(spot, QStringLiteral("Delete all"));
}

void Soak::issue(int kind)
{
    const int card = random(Limits::InputSlots);
    switch (kind) {
    case 0: // recall a preset (49) by its button
        return m_driver.presetButton(random(16))->click();
    case 1: return dropWindow();                    // 42
    case 2: return dragWindow();                    // 42
    case 3: return nudgeOrDelete(Qt::Key_Left);     // 42
    case 4: return nudgeOrDelete(Qt::Key_Delete);   // 42
    case 5: return deleteAllByMenu();               // 43
    case 6: { // 48: another source for a window, from the window tree
        const int id = randomWindow();
        return id < 0 ? dropWindow() : canvas()->setInCard(id, randomChannel());
    }
    case 7: return post(LinkRequest::setMainSignal(card, random(4)));
    case 8: return post(LinkRequest::switchPictureMode(card, m_link->dm_data.inCards[size_t(card)].mode, random(3)));
    case 9: return post(LinkRequest::setPipSignal(card, random(4)));
    case 10: {
        QByteArray a(1, char(card)), b(1, char(card));
        for (int i = 0; i < 8; ++i)
            a.append(char(random(256))), b.append(char(random(8)));
        return post(LinkRequest::setRectangles(a, b));
    }
    case 11: return post(LinkRequest::setCaptionSignal(card, random(4)));
    case 12: {
        QByteArray caption(1, char(card));
        caption.append(char(random(2)));
        for (int i = 0; i < 3; ++i)
            caption.append(char(random(256)));
        return post(LinkRequest::setCaptions(caption));
    }
    case 13: { // 87, 88, 89
        using Make = LinkRequest (*)(int, int);
        constexpr Make values[] = {&LinkRequest::setLight, &LinkRequest::setContrast, &LinkRequest::setColour};
        return post(values[random(3)](card, random(101)));
    }
    case 14: return post(LinkRequest::autoAdjust(card));
    case 15: return post(LinkRequest::readVersions());
    case 16: return post(LinkRequest::readSignalFlags());
    case 17: return post(LinkRequest::readNetwork());
    case 18: return m_driver.trigger("actionSync"); // 190
    default: return m_driver.window()->Rsp_Send_ResetView(); // 41
    }
}

// Mismatches between what the host holds and the device's model. The
// preset on the canvas is taken from the canvas, as the operator sees it.
int Soak::compareWithDevice()
{
    const DeviceModel &device = m_sim.model();
    const DeviceData &record = m_link->dm_data;
    int mismatches = 0;
    const auto check = [&mismatches](bool same, const QString &what) {
        if (!same) {
            ++mismatches;
            out() << "  mismatch: " << what << Qt::endl;
        }
    };
    PresetBlocks blocks;
    check(blocks.build(record), QStringLiteral("stored presets readable"));
    const int shown = m_driver.shownPreset();
    for (int m = 0; m < blocks.windows.size(); ++m) {
        const Preset &preset = device.presets[size_t(m)];
        const QByteArray host = m == shown ? canvas()->getAllData() : blocks.windows.at(m);
        const QByteArray dev = preset.windows + preset.layers;
        int at = 0;
        while (at < qMin(host.size(), dev.size()) && host.at(at) == dev.at(at))
            ++at;
        check(host == dev, QStringLiteral("windows of preset %1 (%2 and %3 bytes, first difference at %4: %5 / %6)")
                               .arg(m).arg(host.size()).arg(dev.size()).arg(at)
                               .arg(QString::fromLatin1(host.mid(at, 12).toHex(' ')))
                               .arg(QString::fromLatin1(dev.mid(at, 12).toHex(' '))));
    }
    check(record.outResolution == device.wall.resolution, QStringLiteral("wall resolution"));
    check((record.outMode2 == 4) == (device.wall.outputMode == 0), QStringLiteral("wall output mode"));
    check(record.rows() == device.wall.rows && record.cols() == device.wall.cols, QStringLiteral("wall grid"));
    check(record.curModel == device.currentPreset && shown == device.currentPreset,
          QStringLiteral("current preset (record %1, shown %2, device %3)")
              .arg(record.curModel).arg(shown).arg(device.currentPreset));
    for (size_t e = 0; e < DeviceData::InCardEntries; ++e) {
        const InCardEntry &host = record.inCards[e];
        const InputEntry &dev = device.entries[e];
        check(host.present == int(dev.present) && host.mainSignal == dev.mainSignal
                  && host.auxSignal == dev.auxSignal && host.mode == dev.mode && host.light == dev.light
                  && host.contrast == dev.contrast && host.color == dev.colour && host.cardType == dev.cardType,
              QStringLiteral("entry %1").arg(e));
    }
    return mismatches;
}

// The adapter is pulled while linked, then plugged in again: the operator
// goes on offline and the link comes back by itself.
bool Soak::pullAndReconnect()
{
    const QString dataFile = m_files.filePath(QStringLiteral("MyConfigure.pd"));
    QFile::remove(dataFile);
    m_driver.messages.clear();
    m_sim.closePty();
    const bool down = QTest::qWaitFor([this] { return !m_link->isConnected(); }, SettleLimitMs) && m_driver.settle();
    const bool saved = QFile::exists(dataFile);
    const bool offline = m_driver.viewsEnabled();
    out() << "pull the terminal: link down " << down << ", data file saved " << saved << ", views kept offline "
          << offline << ", messages " << m_driver.messages.join(QStringLiteral(" | ")) << Qt::endl;
    if (!m_sim.openPty(m_ptyPath))
        qFatal("cannot reopen the terminal");
    const bool again = QTest::qWaitFor([this] { return m_link->isConnected(); }, SettleLimitMs) && m_driver.settle()
        && m_driver.viewsEnabled() && m_driver.messages.size() == 1;
    out() << "plugged in again on " << m_ptyPath << ": " << (again ? "linked by itself, views enabled" : "FAILED")
          << Qt::endl;
    return down && saved && offline && again;
}

int Soak::run()
{
    startWatchdog();
    QElapsedTimer clock;
    clock.start();
    if (!m_driver.open() || !m_driver.connectDevice())
        qFatal("the first connection failed");
    out() << "linked over " << m_ptyPath << "; faults: drop every 20th reply, split all, noise before every 100th"
          << Qt::endl;
    FaultOptions faults;
    faults.dropEvery = 20;
    faults.splitReplies = true;
    faults.noiseEvery = 100;
    faults.seed = Seed;
    m_sim.setFaults(faults);

    constexpr int Kinds = 20;
    QVector<int> perKind(Kinds);
    int timeouts = 0, afterTimeout = 0, stuck = 0, otherMessages = 0;
    bool lastTimedOut = false;
    for (int i = 0; i < Commands; ++i) {
        const int kind = random(Kinds);
        ++perKind[kind];
        m_driver.messages.clear();
        issue(kind);
        if (!m_driver.settle())
            ++stuck;
        const int t = m_driver.messages.count(TimeoutText);
        timeouts += t;
        otherMessages += m_driver.messages.size() - t;
        if (t == 0 && lastTimedOut)
            ++afterTimeout;
        lastTimedOut = t > 0;
        if (!m_link->isConnected() && !m_driver.connectDevice())
            qFatal("link lost at command %d and no reconnect", i);
        if (++progress % 100 == 0)
            out() << "  " << progress.load() << " commands, " << timeouts << " time-outs, "
                  << clock.elapsed() / 1000 << " s" << Qt::endl;
    }
    out() << Commands << " commands in " << clock.elapsed() / 1000 << " s; per kind:";
    for (int k = 0; k < Kinds; ++k)
        out() << ' ' << perKind[k];
    out() << Qt::endl
          << "frames sent again " << resends << ", time-outs the operator saw " << timeouts
          << ", commands that succeeded right after a time-out " << afterTimeout << ", other messages "
          << otherMessages << ", not settled within " << SettleLimitMs / 1000 << " s " << stuck << Qt::endl
          << "requests given up:";
    for (auto it = givenUp.cbegin(); it != givenUp.cend(); ++it)
        out() << ' ' << it.key() << " x" << it.value();
    out() << Qt::endl;

    const int seen = compareWithDevice();
    out() << "what the operator sees against the device's model: " << seen
          << " mismatches (16 presets, wall, current preset, 32 entries)" << Qt::endl;

    m_sim.setFaults({});
    ++progress;
    m_driver.trigger("actionSync");
    bool readOk = m_driver.settle();
    post(LinkRequest::readInputCards());
    readOk = m_driver.settle() && readOk;
    ++progress;
    const int mismatches = compareWithDevice();
    out() << "fresh full read " << (readOk ? "done" : "FAILED") << "; record against the device's model: "
          << mismatches << " mismatches" << Qt::endl;

    const bool pulled = pullAndReconnect();
    ++progress;
    const bool ok = seen == 0 && readOk && mismatches == 0 && pulled && stuck == 0;
    out() << "soak " << (ok ? "PASSED" : "FAILED") << " in " << clock.elapsed() / 1000 << " s" << Qt::endl;
    m_driver.close();
    return ok ? 0 : 1;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rz5300"));
    QLoggingCategory::setFilterRules(QStringLiteral("*.debug=false\n*.warning=false\nrz5300.link.warning=true"));
    qInstallMessageHandler(countResends);
    Soak soak;
    return soak.run();
}
