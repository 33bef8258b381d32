#ifndef MAINWINDOWCASE_H
#define MAINWINDOWCASE_H

#include <windowdriver.h>

#include <QObject>
#include <QTemporaryDir>

#include <memory>

class MyNavTree;
struct Preset;

// What the end-to-end tests of the main window share: the driver, and a
// folder of the program's own files for each start.
class MainWindowCase : public QObject
{
    Q_OBJECT

public:
    // Windows 0, 1 ... on a 2 x 2 wall, the first at the bottom, as the
    // device stores them.
    static Preset presetOf(const QList<QRect> &rects);

protected:
    // A fresh folder whose settings file names the device, holds a data
    // tag no device has and lets a dropped link be tried again, and the
    // window started in it; the driver's notes begin anew.
    void startAgainst(const QStringList &linkSettings, const QByteArray &tag = QByteArray(8, 'h'));
    // The link of the window under test.
    Singleton_SerialPort *link() const { return m_driver.window()->link(); }
    // Windows in a preset as the data file stores it.
    static int windowsIn(const QByteArray &view);
    static QStringList rowsOf(const MyNavTree *tree);
    // The note of a preset's mark, the last line of its button's tool tip.
    QString markOf(int preset) const;

    std::unique_ptr<QTemporaryDir> m_dir;
    WindowDriver m_driver;
};

#endif // MAINWINDOWCASE_H
