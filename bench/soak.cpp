// Robustness soak: the main window (offscreen) against an in-process
// simulator over a pseudo-terminal that drops, splits and garbles replies;
// 1000 operator commands of every kind in a seeded random order, each
// waited for until the wait page closes or times out. Then what the
// operator sees (presets, wall, current preset, entries) must match the
// simulator's model before anything is read again, and so must a clean full
// read; pulling the terminal while linked must save the data file, disable
// the views and allow a reconnect. Exits non-zero on a mismatch, or
// (watchdog) when nothing moves for 30 s.

#include <appdirectory.h>
#include <channelmime.h>
#include <commandbuilder.h>
#include <devicesimulator.h>
#include <linksettings.h>
#include <mainwindow.h>
#include <mygraphicsview.h>
#include <presetblocks.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <thread>

namespace {

using C = Command::Type;
constexpr int Commands = 1000;
constexpr quint32 Seed = 5300;
// Every wait page gets this instead of its command's time-out (5 to 250 s),
// so that the long commands, sent again only when the page's time-out has
// passed, are sent again within the soak's patience.
constexpr int SoakWaitMs = 1500;
constexpr int SettleLimitMs = 20000;
constexpr int StallLimitS = 30;
const QString TimeoutText = QStringLiteral("Send timeout, please try to resend");

std::atomic<int> progress{0};
int resends = 0;

// Counts the link's resends; of the other diagnostics only a fatal one is
// printed.
void countResends(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (qstrcmp(context.category, "rz5300.link") == 0 && message.contains(QLatin1String("sending it again")))
        ++resends;
    if (type == QtFatalMsg)
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

QTextStream &out()
{
    static QTextStream stream(stdout);
    return stream;
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

// Answers modal boxes and picks the asked entry of a context menu, as an
// operator would; notes every message shown.
class Operator : public QObject
{
public:
    Operator()
    {
        connect(&m_timer, &QTimer::timeout, this, &Operator::answer);
        m_timer.start(10);
    }

    QStringList messages;
    QString menuEntry;

private:
    void answer()
    {
        if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
            const QList<QAction *> actions = menu->actions();
            for (QAction *action : actions) {
                if (action->text() == menuEntry && action->isEnabled()) {
                    menu->close();
                    action->trigger();
                    return;
                }
            }
            menu->close();
        }
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            messages << box->text();
            QAbstractButton *yes = box->button(QMessageBox::Yes);
            yes ? yes->click() : box->accept();
        }
    }

    QTimer m_timer;
};

class Soak
{
public:
    Soak();
    int run();

private:
    template<class T> T *child(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    MyGraphicsView *canvas() const { return child<MyGraphicsView>("mygraphicsview"); }
    bool viewsEnabled() const;
    bool settle();
    bool connectLink();
    int random(int bound) { return int(m_random.bounded(quint32(bound))); }
    QPoint at(const QPointF &scenePos) const { return canvas()->mapFromScene(scenePos); }
    QPointF randomPoint();
    int randomWindow();
    int randomChannel();

    void issue(int kind);
    void stage(int type, int index, const QByteArray &buf, const QByteArray &buf2 = {});
    void dropWindow();
    void dragWindow();
    void nudgeOrDelete(Qt::Key key);
    void deleteAllByMenu();

    int shownPreset() const;
    int compareWithDevice();
    bool pullAndReconnect();

    QTemporaryDir m_files;
    QTemporaryDir m_devices;
    DeviceSimulator m_sim;
    Singleton_SerialPort *m_link = Singleton_SerialPort::instance();
    QRandomGenerator m_random{Seed};
    Operator m_operator;
    std::unique_ptr<MainWindow> m_window;
    QString m_ptyPath;
};

Soak::Soak()
{
    AppDirectory::setPath(m_files.path());
    if (!m_sim.openPty(m_devices.filePath(QStringLiteral("ttyRZ"))))
        qFatal("cannot open the simulator's terminal");
    m_ptyPath = m_sim.ptyPath();
    m_link->setLinkSettings({"1", "", "0", "", "", "", m_ptyPath});
    m_link->dm_lastCheckSum = QByteArray(8, 'h');
    writeSettings(1);
    // Connected before the main window's own slot, so every wait page
    // starts with the soak's short time-out.
    QObject::connect(m_link, &Singleton_SerialPort::setWaitPage, &m_operator, [this](bool closed) {
        if (!closed)
            emit m_link->send_out_time(SoakWaitMs);
    });
    m_window = std::make_unique<MainWindow>();
    m_window->show();
}

bool Soak::viewsEnabled() const
{
    return canvas()->isEnabled() && child<QDockWidget>("sourceDock")->isEnabled()
        && child<QDockWidget>("winDock")->isEnabled() && child<QWidget>("Form_Model")->isEnabled();
}

// Until the worker has nothing queued, no wait page or box is open and the
// canvas holds no nudge still to be sent.
bool Soak::settle()
{
    QElapsedTimer clock;
    clock.start();
    int quiet = 0;
    while (clock.elapsed() < SettleLimitMs) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const bool idle = m_link->queuedFrames() == 0 && !QApplication::activeModalWidget()
            && !QApplication::activePopupWidget() && !canvas()->changePending();
        quiet = idle ? quiet + 1 : 0;
        if (quiet >= 3)
            return true;
        QTest::qWait(5);
    }
    return false;
}

bool Soak::connectLink()
{
    child<QAction>("actionConnect")->trigger();
    return QTest::qWaitFor([this] { return viewsEnabled(); }, SettleLimitMs) && settle();
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

// Stages and posts as the dialogs do.
void Soak::stage(int type, int index, const QByteArray &buf, const QByteArray &buf2)
{
    m_link->dm_index = index;
    m_link->dm_sendBuf = buf;
    m_link->dm_sendBuf2 = buf2;
    emit m_link->send_out_time(SoakWaitMs);
    m_link->postCommand(type);
}

void Soak::dropWindow()
{
    QMimeData mime;
    ChannelMime::setChannel(&mime, randomChannel());
    const QPoint p = at(randomPoint());
    QDragEnterEvent enter(p, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &enter);
    QDropEvent dropped(p, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &dropped);
}

void Soak::dragWindow()
{
    const int id = randomWindow();
    if (id < 0)
        return dropWindow();
    const QPoint from = at(canvas()->model().window(id).rect.center());
    const QPoint to = at(randomPoint());
    QWidget *viewport = canvas()->viewport();
    QTest::mousePress(viewport, Qt::LeftButton, {}, from);
    QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &move);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, to);
}

void Soak::nudgeOrDelete(Qt::Key key)
{
    const int id = randomWindow();
    if (id < 0)
        return dropWindow();
    QWidget *viewport = canvas()->viewport();
    const QPoint p = at(canvas()->model().window(id).rect.center());
    QTest::mousePress(viewport, Qt::LeftButton, {}, p);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, p);
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
    m_operator.menuEntry = QStringLiteral("Delete all");
    const QPoint p = at(spot);
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, canvas()->viewport()->mapToGlobal(p));
    QApplication::sendEvent(canvas()->viewport(), &event);
}

void Soak::issue(int kind)
{
    const int card = random(DeviceData::InSlots);
    switch (kind) {
    case 0: // recall a preset (49) by its button
        return child<QWidget>("mybuttonbar")->findChildren<QAbstractButton *>().at(random(16))->click();
    case 1: return dropWindow();                    // 42
    case 2: return dragWindow();                    // 42
    case 3: return nudgeOrDelete(Qt::Key_Left);     // 42
    case 4: return nudgeOrDelete(Qt::Key_Delete);   // 42
    case 5: return deleteAllByMenu();               // 43
    case 6: { // 48: another source for a window, from the window tree
        const int id = randomWindow();
        return id < 0 ? dropWindow() : canvas()->setInCard(id, randomChannel());
    }
    case 7: return stage(C::SetMainSignal, card, QByteArray(1, char(random(4))));
    case 8: return stage(C::SwitchPictureMode, card, QByteArray(1, char(random(3))));
    case 9: return stage(C::SetPipSignal, card, QByteArray(1, char(random(4))));
    case 10: {
        QByteArray a(1, char(card)), b(1, char(card));
        for (int i = 0; i < 8; ++i)
            a.append(char(random(256))), b.append(char(random(8)));
        return stage(C::SetRectangles, card, a, b);
    }
    case 11: return stage(C::SetCaptionSignal, card, QByteArray(1, char(random(4))));
    case 12: {
        QByteArray caption(1, char(card));
        caption.append(char(random(2)));
        for (int i = 0; i < 3; ++i)
            caption.append(char(random(256)));
        return stage(C::SetCaptions, 0, caption);
    }
    case 13: {
        const int type = C::SetLight + random(3); // 87, 88, 89
        return stage(type, 0, QByteArray(1, char(card)) + char(random(101)));
    }
    case 14: return stage(C::AutoAdjust, card, {});
    case 15: return stage(C::ReadVersions, 0, {});
    case 16: return stage(C::ReadSignalFlags, 0, {});
    case 17: return stage(C::ReadNetwork, 0, {});
    case 18: return child<QAction>("actionSync")->trigger(); // 190
    default: return m_window->Rsp_Send_ResetView();          // 41
    }
}

// The preset the operator has on the canvas; -1 for none.
int Soak::shownPreset() const
{
    const QList<QAbstractButton *> buttons = child<QWidget>("mybuttonbar")->findChildren<QAbstractButton *>();
    for (int m = 0; m < buttons.size(); ++m) {
        if (buttons.at(m)->isChecked())
            return m;
    }
    return -1;
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
    const int shown = shownPreset();
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

// The adapter is pulled while linked, then plugged in again.
bool Soak::pullAndReconnect()
{
    const QString dataFile = m_files.filePath(QStringLiteral("MyConfigure.pd"));
    QFile::remove(dataFile);
    m_operator.messages.clear();
    m_sim.closePty();
    const bool down = QTest::qWaitFor([this] { return !m_link->isConnected(); }, SettleLimitMs) && settle();
    const bool saved = QFile::exists(dataFile);
    const bool disabled = !viewsEnabled();
    out() << "pull the terminal: link down " << down << ", data file saved " << saved << ", views disabled "
          << disabled << ", messages " << m_operator.messages.join(QStringLiteral(" | ")) << Qt::endl;
    if (!m_sim.openPty(m_ptyPath))
        qFatal("cannot reopen the terminal");
    const bool again = connectLink() && m_link->isConnected();
    out() << "reconnect on " << m_ptyPath << ": " << (again ? "linked, views enabled" : "FAILED") << Qt::endl;
    return down && saved && disabled && again;
}

int Soak::run()
{
    startWatchdog();
    QElapsedTimer clock;
    clock.start();
    if (!QTest::qWaitForWindowExposed(m_window.get()) || !connectLink())
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
        m_operator.messages.clear();
        issue(kind);
        if (!settle())
            ++stuck;
        const int t = m_operator.messages.count(TimeoutText);
        timeouts += t;
        otherMessages += m_operator.messages.size() - t;
        if (t == 0 && lastTimedOut)
            ++afterTimeout;
        lastTimedOut = t > 0;
        if (!m_link->isConnected() && !connectLink())
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
          << otherMessages << ", not settled within " << SettleLimitMs / 1000 << " s " << stuck << Qt::endl;

    const int seen = compareWithDevice();
    out() << "what the operator sees against the device's model: " << seen
          << " mismatches (16 presets, wall, current preset, 32 entries)" << Qt::endl;

    m_sim.setFaults({});
    ++progress;
    child<QAction>("actionSync")->trigger();
    bool readOk = settle();
    stage(C::ReadInputCards, 0, {});
    readOk = settle() && readOk;
    ++progress;
    const int mismatches = compareWithDevice();
    out() << "fresh full read " << (readOk ? "done" : "FAILED") << "; record against the device's model: "
          << mismatches << " mismatches" << Qt::endl;

    const bool pulled = pullAndReconnect();
    ++progress;
    const bool ok = seen == 0 && readOk && mismatches == 0 && pulled && stuck == 0;
    out() << "soak " << (ok ? "PASSED" : "FAILED") << " in " << clock.elapsed() / 1000 << " s" << Qt::endl;
    m_window.reset();
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
