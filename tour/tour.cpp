#include "tour.h"

#include <channelmime.h>
#include <form_singlecard.h>
#include <mainwindow.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextStream>

namespace {

constexpr int PollMs = 50;
constexpr int QuietMs = 800;          // no wait page for this long: the device has answered
constexpr int SettleLimitMs = 60000;  // a full read of the device at 115200 baud takes seconds
constexpr int ReplyLimitMs = 15000;
constexpr int PresetShown = 2;
const QSize WindowSize(1280, 800);

QTextStream &err()
{
    static QTextStream stream(stderr);
    return stream;
}

// Runs the event loop until done() holds; false when timeoutMs ran out first.
bool waitFor(const std::function<bool()> &done, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QEventLoop loop;
        QTimer::singleShot(PollMs, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return true;
}

// Waits until `expected` has been the active modal widget (none: no modal
// widget at all) for a while, so that the device's answers have come in.
bool settle(const QWidget *expected = nullptr)
{
    QElapsedTimer quiet;
    quiet.start();
    return waitFor(
        [&] {
            if (QApplication::activeModalWidget() != expected)
                quiet.restart();
            return quiet.elapsed() >= QuietMs;
        },
        SettleLimitMs);
}

template<class T> T *ancestor(QWidget *widget)
{
    while (widget && !qobject_cast<T *>(widget))
        widget = widget->parentWidget();
    return qobject_cast<T *>(widget);
}

} // namespace

Tour::Tour(const QString &folder, bool shortTour)
    : m_folder(folder)
    , m_short(shortTour)
{
    connect(&m_answerer, &QTimer::timeout, this, &Tour::answerMessageBoxes);
}

Tour::~Tour() = default;

int Tour::run()
{
    m_answerer.start(PollMs);
    m_window = std::make_unique<MainWindow>();
    m_window->resize(WindowSize);
    m_window->show();
    if (connectDevice()) {
        shoot(m_window.get(), QStringLiteral("connected.png"));
        if (!m_short) {
            layOutPreset();
            openDialogs();
        }
        disconnectDevice();
    }
    m_window.reset();
    m_answerer.stop();
    return m_failures;
}

bool Tour::connectDevice()
{
    // The window reads its settings file once it is up, and then disables
    // the views until a device is linked.
    Singleton_SerialPort *link = Singleton_SerialPort::instance();
    waitFor([this] { return !viewsEnabled(); }, ReplyLimitMs);
    const int messages = m_messages;
    trigger("actionConnect");
    // A failed attempt says so in a message box.
    waitFor([&] { return (viewsEnabled() && link->isConnected()) || m_messages > messages; }, SettleLimitMs);
    const bool linked = m_messages == messages && settle() && link->isConnected();
    if (!linked)
        fail(QStringLiteral("connect to %1").arg(link->linkSettings().value(6)));
    return linked;
}

// Shows an empty preset, drops three sources on the wall and moves one.
void Tour::layOutPreset()
{
    const QList<QAbstractButton *> presets =
        m_window->findChild<QWidget *>(QStringLiteral("mybuttonbar"))->findChildren<QAbstractButton *>();
    presets.value(PresetShown)->click();
    settle();
    const QList<int> channels = Singleton_SerialPort::instance()->dm_data.channelList();
    const QRectF wall = canvas()->sceneRect();
    const QList<QPointF> places = {{0.25, 0.25}, {0.75, 0.25}, {0.5, 0.75}};
    for (int i = 0; i < places.size() && i < channels.size(); ++i) {
        drop(channels.at(i), {wall.width() * places[i].x(), wall.height() * places[i].y()});
        settle();
    }
    const QPointF from(wall.width() * 0.25, wall.height() * 0.25);
    drag(from, from + QPointF(wall.width() * 0.05, wall.height() * 0.1));
    settle();
    if (canvas()->model().count() == 0)
        fail(QStringLiteral("lay out a preset"));
    shoot(m_window.get(), QStringLiteral("preset.png"));
}

void Tour::openDialogs()
{
    const auto triggering = [this](const char *action) { return [this, action] { trigger(action); }; };
    showDialog(triggering("actionComSet"), "Dialog_ComSet", QStringLiteral("comset.png"));
    showDialog(triggering("actionComTest"), "Dialog_Test", QStringLiteral("comtest.png"));
    showDialog(triggering("actionLedMosaic"), "LEDsplice", QStringLiteral("ledsplice.png"));
    showDialog(triggering("actionInputSingle"), "Dialog_Singles", QStringLiteral("inputsignals.png"),
               [this](QDialog *singles) { openPictureModes(singles); });

    // The picture attributes of the first card, from the source tree's menu.
    auto *sources = m_window->findChild<MyNavTree *>(QStringLiteral("sourceTree"));
    emit sources->customContextMenuRequested(sources->visualRect(sources->model()->index(0, 0)).center());
    for (QMenu *menu : m_window->findChildren<QMenu *>())
        menu->hide();
    showDialog(triggering("actionPictureAttribute"), "Form_InCardSet", QStringLiteral("pictureattribute.png"));

    if (canvas()->model().count() > 0) {
        const QPointF window = QRectF(canvas()->model().window(0).rect).center();
        showDialog([this, window] { doubleClick(window); }, "Trimming", QStringLiteral("trimming.png"));
    }
}

// Switches one card to picture in picture and another to captions, and
// opens the dialog of each mode with ">>".
void Tour::openPictureModes(QDialog *singles)
{
    // The mode box of each fitted one-channel card, on any tab.
    QList<QComboBox *> modes;
    for (QComboBox *box : singles->findChildren<QComboBox *>(QStringLiteral("com_model_1"))) {
        const auto *card = ancestor<Form_singleCard>(box);
        if (card && card->isEnabled() && box->isVisibleTo(card))
            modes << box;
    }
    const QList<std::pair<const char *, QString>> dialogs = {{"Dialog_Pip", QStringLiteral("pip.png")},
                                                             {"Dialog_text", QStringLiteral("captions.png")}};
    for (int mode = 1; mode <= dialogs.size(); ++mode) {
        const auto &[className, shot] = dialogs.at(mode - 1);
        QComboBox *box = modes.value(mode - 1);
        auto *card = ancestor<Form_singleCard>(box);
        if (!card) {
            fail(shot);
            continue;
        }
        box->setCurrentIndex(mode);
        emit box->activated(mode);
        auto *open = card->findChild<QPushButton *>(QStringLiteral("but_to_1"));
        if (!waitFor([&] { return box->currentIndex() == mode && open->isEnabled(); }, ReplyLimitMs)
            || !settle(singles)) {
            fail(shot);
            continue;
        }
        showDialog([open] { open->click(); }, className, shot);
    }
}

void Tour::disconnectDevice()
{
    trigger("actionConnect");
    if (!waitFor([this] { return !viewsEnabled(); }, ReplyLimitMs) || !settle())
        fail(QStringLiteral("disconnect"));
}

void Tour::showDialog(const std::function<void()> &open, const char *className, const QString &shot,
                      const std::function<void(QDialog *)> &inside)
{
    bool shown = false;
    QTimer poll;
    connect(&poll, &QTimer::timeout, this, [&] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog || !dialog->inherits(className))
            return;
        poll.stop();
        shown = true;
        settle(dialog);
        shoot(dialog, shot);
        if (inside)
            inside(dialog);
        dialog->reject();
    });
    const QWidget *opener = QApplication::activeModalWidget(); // a dialog may open another
    poll.start(PollMs);
    open(); // returns when the dialog has closed
    poll.stop();
    settle(opener);
    if (!shown)
        fail(shot);
}

void Tour::shoot(QWidget *widget, const QString &shot)
{
    const QString path = m_folder + QLatin1Char('/') + shot;
    if (!widget->grab().save(path)) {
        fail(shot);
        return;
    }
    QTextStream(stdout) << "tour: " << path << Qt::endl;
}

void Tour::fail(const QString &step)
{
    ++m_failures;
    err() << "tour: failed: " << step << Qt::endl;
}

void Tour::trigger(const char *action)
{
    m_window->findChild<QAction *>(QLatin1String(action))->trigger();
}

MyGraphicsView *Tour::canvas() const
{
    return m_window->findChild<MyGraphicsView *>(QStringLiteral("mygraphicsview"));
}

bool Tour::viewsEnabled() const
{
    return canvas()->isEnabled() && m_window->findChild<QDockWidget *>(QStringLiteral("sourceDock"))->isEnabled();
}

void Tour::drop(int channel, const QPointF &scenePos)
{
    QMimeData mime;
    ChannelMime::setChannel(&mime, channel);
    const QPoint at = canvas()->mapFromScene(scenePos);
    QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &enter);
    QDropEvent dropped(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &dropped);
}

void Tour::drag(const QPointF &from, const QPointF &to)
{
    QWidget *viewport = canvas()->viewport();
    const auto send = [viewport](QEvent::Type type, const QPoint &at, Qt::MouseButton button,
                                 Qt::MouseButtons held) {
        QMouseEvent event(type, at, button, held, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    };
    const QPoint start = canvas()->mapFromScene(from);
    const QPoint end = canvas()->mapFromScene(to);
    send(QEvent::MouseButtonPress, start, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, end, Qt::NoButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, end, Qt::LeftButton, Qt::NoButton);
}

void Tour::doubleClick(const QPointF &scenePos)
{
    QMouseEvent event(QEvent::MouseButtonDblClick, canvas()->mapFromScene(scenePos), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &event);
}

// Confirms every message box, and says what it said.
void Tour::answerMessageBoxes()
{
    auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
    if (!box)
        return;
    ++m_messages;
    err() << "tour: message: " << box->text() << Qt::endl;
    QAbstractButton *yes = box->button(QMessageBox::Yes);
    yes ? yes->click() : box->accept();
}
