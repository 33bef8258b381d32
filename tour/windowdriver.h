#ifndef WINDOWDRIVER_H
#define WINDOWDRIVER_H

#include <mainwindow.h>

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class Dialog_Verify;
class MyGraphicsView;
class QAbstractButton;
class QDialog;
class QWidget;

// Drives the main window without an operator, for the tour, the benchmarks
// and the end-to-end tests. Finds the window's parts by object name, works
// the canvas with synthetic input, waits until the link and the window have
// settled, and answers modal windows from a timer as an operator would:
// confirms message boxes, gives fileName for a data file, on a verify
// result clicks the buttons named by the next of verifyChoices ("M3_mine,
// applyButton"; else Close) and, while rejectDialogs holds, notes and
// rejects any other dialog. Wait pages are left to close by
// themselves.
class WindowDriver : public QObject
{
    Q_OBJECT

public:
    explicit WindowDriver(int answerEveryMs = 20);
    ~WindowDriver() override;

    // Writes the settings file the next window starts from: these link
    // settings, the data tag kept from a last run, and the language.
    static void writeStartSettings(const QStringList &linkSettings, const QByteArray &tag, int isEnglish = 1);

    // A new main window, shown; true once it has read its settings and
    // disabled the views until a device is linked.
    bool open();
    void close();
    MainWindow *window() const { return m_window.get(); }

    template<class T> T *child(const char *name) const
    {
        return m_window->findChild<T *>(QLatin1String(name));
    }
    void trigger(const char *action) const;
    MyGraphicsView *canvas() const;
    QAbstractButton *presetButton(int preset) const;
    int shownPreset() const; // -1: none
    // The canvas, both docks and the preset bar take input.
    bool viewsEnabled() const;

    // "Connect" and the reads that follow, until the views take input or a
    // message box says why not; true when linked with the views enabled.
    bool connectDevice();
    bool disconnectDevice();

    void drop(int channel, const QPointF &scenePos) const;
    void drag(const QPointF &from, const QPointF &to) const;
    void click(const QPointF &scenePos) const;
    void doubleClick(const QPointF &scenePos) const;
    // Opens the canvas menu at scenePos and picks entry, when it is there
    // and enabled.
    void chooseFromMenu(const QPointF &scenePos, const QString &entry);

    // Runs the event loop until done() holds; false when timeoutMs ran out.
    static bool waitFor(const std::function<bool()> &done, int timeoutMs);
    // Until, for quietMs in a row, the link has nothing queued, `modal` is
    // the active modal widget, no menu is open and the canvas holds no
    // change still to be sent; false after settleLimitMs.
    bool settle(const QWidget *modal = nullptr);

    int quietMs = 50;
    int settleLimitMs = 20000;
    bool rejectDialogs = true;
    QString fileName;
    QStringList verifyChoices; // an empty entry holds the dialog open

    QStringList messages;          // of each message box shown
    QStringList dialogs;           // class of each dialog rejected
    QMap<QString, QString> fields; // line edits of the last one, by name
    QList<QStringList> verified;   // lines of each verify result
    QList<QStringList> offered;    // its choices as shown, "M3=mine"

signals:
    void dialogShown(QDialog *dialog);
    void dialogHidden(QDialog *dialog);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void answer();
    void drive(Dialog_Verify *result);
    void pickMenuEntry();
    void mouse(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button, Qt::MouseButtons held) const;
    QPoint at(const QPointF &scenePos) const;

    std::unique_ptr<MainWindow> m_window;
    QTimer m_answerer;
    QString m_menuEntry;
    int m_idleTicks = 0; // answer ticks in a row with the link idle
};

#endif // WINDOWDRIVER_H
