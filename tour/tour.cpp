#include "tour.h"

#include <form_singlecard.h>
#include <mainwindow.h>
#include <mygraphicsview.h>
#include <mynavtree.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTextStream>

namespace {

constexpr int AnswerEveryMs = 50;
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
    , m_driver(AnswerEveryMs)
{
    m_driver.quietMs = QuietMs;
    m_driver.settleLimitMs = SettleLimitMs;
    m_driver.rejectDialogs = false; // the tour shows them
    connect(&m_driver, &WindowDriver::dialogShown, this, [](QDialog *dialog) {
        if (auto *box = qobject_cast<QMessageBox *>(dialog))
            err() << "tour: message: " << box->text() << Qt::endl;
    });
}

int Tour::run()
{
    const bool opened = m_driver.open();
    m_driver.window()->resize(WindowSize);
    if (opened && m_driver.connectDevice()) {
        shoot(m_driver.window(), QStringLiteral("connected.png"));
        if (!m_short) {
            layOutPreset();
            openDialogs();
        }
        if (!m_driver.disconnectDevice())
            fail(QStringLiteral("disconnect"));
    } else {
        fail(QStringLiteral("connect to %1").arg(m_driver.window()->link()->linkSettings().value(6)));
    }
    m_driver.close();
    return m_failures;
}

// Shows an empty preset, drops three sources on the wall and moves one.
void Tour::layOutPreset()
{
    m_driver.presetButton(PresetShown)->click();
    m_driver.settle();
    const QList<int> channels = m_driver.window()->link()->dm_data.channelList();
    const QRectF wall = m_driver.canvas()->sceneRect();
    const QList<QPointF> places = {{0.25, 0.25}, {0.75, 0.25}, {0.5, 0.75}};
    for (int i = 0; i < places.size() && i < channels.size(); ++i) {
        m_driver.drop(channels.at(i), {wall.width() * places[i].x(), wall.height() * places[i].y()});
        m_driver.settle();
    }
    const QPointF from(wall.width() * 0.25, wall.height() * 0.25);
    m_driver.drag(from, from + QPointF(wall.width() * 0.05, wall.height() * 0.1));
    m_driver.settle();
    if (m_driver.canvas()->model().count() == 0)
        fail(QStringLiteral("lay out a preset"));
    shoot(m_driver.window(), QStringLiteral("preset.png"));
}

void Tour::openDialogs()
{
    const auto triggering = [this](const char *action) { return [this, action] { m_driver.trigger(action); }; };
    showDialog(triggering("actionComSet"), "Dialog_ComSet", QStringLiteral("comset.png"));
    showDialog(triggering("actionComTest"), "Dialog_Test", QStringLiteral("comtest.png"));
    showDialog(triggering("actionRemote"), "Dialog_Remote", QStringLiteral("remote.png"));
    showDialog(triggering("actionLedMosaic"), "LEDsplice", QStringLiteral("ledsplice.png"));
    showDialog(triggering("actionInputSingle"), "Dialog_Singles", QStringLiteral("inputsignals.png"),
               [this](QDialog *singles) { openPictureModes(singles); });

    // The picture attributes of the first card, from the source tree's menu.
    auto *sources = m_driver.child<MyNavTree>("sourceTree");
    emit sources->customContextMenuRequested(sources->visualRect(sources->model()->index(0, 0)).center());
    for (QMenu *menu : m_driver.window()->findChildren<QMenu *>())
        menu->hide();
    showDialog(triggering("actionPictureAttribute"), "Form_InCardSet", QStringLiteral("pictureattribute.png"));

    const MyGraphicsView *canvas = m_driver.canvas();
    if (canvas->model().count() > 0) {
        const QPointF window = QRectF(canvas->model().window(0).rect).center();
        showDialog([this, window] { m_driver.doubleClick(window); }, "Trimming", QStringLiteral("trimming.png"));
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
        if (!WindowDriver::waitFor([&] { return box->currentIndex() == mode && open->isEnabled(); }, ReplyLimitMs)
            || !m_driver.settle(singles)) {
            fail(shot);
            continue;
        }
        showDialog([open] { open->click(); }, className, shot);
    }
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
        m_driver.settle(dialog);
        shoot(dialog, shot);
        if (inside)
            inside(dialog);
        dialog->reject();
    });
    const QWidget *opener = QApplication::activeModalWidget(); // a dialog may open another
    poll.start(AnswerEveryMs);
    open(); // returns when the dialog has closed
    poll.stop();
    m_driver.settle(opener);
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
