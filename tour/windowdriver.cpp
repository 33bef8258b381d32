#include "windowdriver.h"

#include <channelmime.h>
#include <datafiledialog.h>
#include <dialog_verify.h>
#include <dialog_wait.h>
#include <linksettings.h>
#include <settingsfile.h>
#include <mygraphicsview.h>
#include <singleton_serialport.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDockWidget>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QWindow>

#include <utility>

namespace {

constexpr int PollMs = 10;
constexpr int QuietPolls = 3;

} // namespace

WindowDriver::WindowDriver(int answerEveryMs)
{
    connect(&m_answerer, &QTimer::timeout, this, &WindowDriver::answer);
    m_answerer.start(answerEveryMs);
    qApp->installEventFilter(this);
    DataFileDialog::answerWith([this] { return fileName; });
}

WindowDriver::~WindowDriver()
{
    DataFileDialog::answerWith({});
}

// A link of its own writes them, as the window's link does at its end.
void WindowDriver::writeStartSettings(const QStringList &linkSettings, const QByteArray &tag, int isEnglish)
{
    Singleton_SerialPort link;
    link.setLinkSettings(linkSettings);
    link.postKeptTag(tag, false);
    writeSettings(&link, SettingsFile::path(), isEnglish);
}

bool WindowDriver::open()
{
    m_window.reset();
    m_window = std::make_unique<MainWindow>();
    m_window->show();
    return waitFor([this] { return m_window->windowHandle()->isExposed() && !viewsEnabled(); }, settleLimitMs);
}

void WindowDriver::close()
{
    m_window.reset();
}

void WindowDriver::trigger(const char *action) const
{
    child<QAction>(action)->trigger();
}

MyGraphicsView *WindowDriver::canvas() const
{
    return child<MyGraphicsView>("mygraphicsview");
}

QAbstractButton *WindowDriver::presetButton(int preset) const
{
    return child<QWidget>("mybuttonbar")->findChildren<QAbstractButton *>().value(preset);
}

int WindowDriver::shownPreset() const
{
    const QList<QAbstractButton *> buttons = child<QWidget>("mybuttonbar")->findChildren<QAbstractButton *>();
    for (int preset = 0; preset < buttons.size(); ++preset) {
        if (buttons.at(preset)->isChecked())
            return preset;
    }
    return -1;
}

bool WindowDriver::viewsEnabled() const
{
    return canvas()->isEnabled() && child<QDockWidget>("sourceDock")->isEnabled()
        && child<QDockWidget>("winDock")->isEnabled() && child<QWidget>("Form_Model")->isEnabled();
}

bool WindowDriver::connectDevice()
{
    Singleton_SerialPort *link = m_window->link();
    const int shown = messages.size();
    trigger("actionConnect");
    // A failed attempt says so in a message box.
    waitFor([&] { return (viewsEnabled() && link->isConnected()) || messages.size() > shown; }, settleLimitMs);
    return settle() && link->isConnected() && viewsEnabled();
}

bool WindowDriver::disconnectDevice()
{
    trigger("actionConnect");
    return waitFor([this] { return !viewsEnabled(); }, settleLimitMs) && settle();
}

void WindowDriver::drop(int channel, const QPointF &scenePos) const
{
    QMimeData mime;
    ChannelMime::setChannel(&mime, channel);
    QDragEnterEvent enter(at(scenePos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &enter);
    QDropEvent dropped(at(scenePos), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &dropped);
}

void WindowDriver::drag(const QPointF &from, const QPointF &to) const
{
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
}

void WindowDriver::click(const QPointF &scenePos) const
{
    mouse(QEvent::MouseButtonPress, scenePos, Qt::LeftButton, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, scenePos, Qt::LeftButton, Qt::NoButton);
}

void WindowDriver::doubleClick(const QPointF &scenePos) const
{
    mouse(QEvent::MouseButtonDblClick, scenePos, Qt::LeftButton, Qt::LeftButton);
}

void WindowDriver::chooseFromMenu(const QPointF &scenePos, const QString &entry)
{
    m_menuEntry = entry;
    const QPoint p = at(scenePos);
    QContextMenuEvent event(QContextMenuEvent::Mouse, p, canvas()->viewport()->mapToGlobal(p));
    QApplication::sendEvent(canvas()->viewport(), &event); // returns when the menu has closed
    m_menuEntry.clear();
}

bool WindowDriver::waitFor(const std::function<bool()> &done, int timeoutMs)
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

bool WindowDriver::settle(const QWidget *modal)
{
    Singleton_SerialPort *link = m_window->link();
    QElapsedTimer quiet;
    int quietPolls = 0; // each has run the event loop: nothing posted is left behind
    return waitFor(
        [&] {
            // The link is asked last: the call waits for its thread.
            const bool idle = QApplication::activeModalWidget() == modal && !QApplication::activePopupWidget()
                && !canvas()->changePending() && link->queuedFrames() == 0;
            if (!idle) {
                quietPolls = 0;
                return false;
            }
            if (quietPolls++ == 0)
                quiet.start();
            return quietPolls >= QuietPolls && quiet.elapsed() >= quietMs;
        },
        settleLimitMs);
}

// The receiver is looked at first: a call the link's worker posts is seen
// here before its Handover takes it, so nothing of it may be read.
bool WindowDriver::eventFilter(QObject *watched, QEvent *event)
{
    auto *dialog = qobject_cast<QDialog *>(watched);
    if (!dialog || (event->type() != QEvent::Show && event->type() != QEvent::Hide))
        return false;
    if (event->type() == QEvent::Hide) {
        emit dialogHidden(dialog);
        return false;
    }
    if (auto *box = qobject_cast<QMessageBox *>(dialog))
        messages << box->text();
    emit dialogShown(dialog);
    return false;
}

void WindowDriver::answer()
{
    if (!m_menuEntry.isEmpty())
        pickMenuEntry();
    QWidget *modal = QApplication::activeModalWidget();
    if (auto *box = qobject_cast<QMessageBox *>(modal)) {
        QAbstractButton *yes = box->button(QMessageBox::Yes);
        yes ? yes->click() : box->accept();
    } else if (auto *result = qobject_cast<Dialog_Verify *>(modal)) {
        if (!result->property("driven").toBool())
            drive(result);
    } else if (auto *dialog = qobject_cast<QDialog *>(modal);
               dialog && rejectDialogs && !qobject_cast<Dialog_wait *>(dialog)) {
        // What the dialog asked of the device is in before it is noted: the
        // link idle at two ticks in a row, its replies' signals delivered
        // in between.
        const bool idle = !m_window || m_window->link()->queuedFrames() == 0;
        m_idleTicks = idle ? m_idleTicks + 1 : 0;
        if (m_idleTicks < 2)
            return;
        m_idleTicks = 0;
        dialogs << QString::fromLatin1(dialog->metaObject()->className());
        fields.clear();
        for (const QLineEdit *field : dialog->findChildren<QLineEdit *>())
            fields.insert(field->objectName(), field->text());
        dialog->reject();
    }
}

// The buttons are clicked from a timer of their own: a question the dialog
// asks is answered by answer(), which does not run again while it runs.
void WindowDriver::drive(Dialog_Verify *result)
{
    result->setProperty("driven", true);
    verified << result->lines();
    offered << result->choices();
    const QString clicks = verifyChoices.isEmpty() ? QStringLiteral("closeButton") : verifyChoices.takeFirst();
    if (clicks.isEmpty())
        return; // held open: the caller closes it
    QTimer::singleShot(0, result, [result, clicks] {
        for (const QString &button : clicks.split(QLatin1Char(',')))
            result->findChild<QAbstractButton *>(button.trimmed())->click();
    });
}

void WindowDriver::pickMenuEntry()
{
    auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget());
    if (!menu)
        return;
    const QString entry = std::exchange(m_menuEntry, QString());
    menu->close();
    for (QAction *action : menu->actions()) {
        if (action->text() == entry && action->isEnabled()) {
            action->trigger();
            return;
        }
    }
}

void WindowDriver::mouse(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button,
                         Qt::MouseButtons held) const
{
    const QPoint local = at(scenePos);
    QMouseEvent event(type, local, canvas()->viewport()->mapToGlobal(local), button, held, Qt::NoModifier);
    QApplication::sendEvent(canvas()->viewport(), &event);
}

QPoint WindowDriver::at(const QPointF &scenePos) const
{
    return canvas()->mapFromScene(scenePos);
}
