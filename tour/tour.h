#ifndef TOUR_H
#define TOUR_H

#include "windowdriver.h"

#include <QObject>
#include <QString>

#include <functional>

class QDialog;
class QWidget;

// Drives the main window as an operator would, against the device its
// settings file names: connects, lays out a preset, opens the main dialogs
// and leaves a screenshot of each in the demo folder. Every modal window is
// answered or closed from a timer, so the tour always ends by itself.
class Tour : public QObject
{
    Q_OBJECT

public:
    Tour(const QString &folder, bool shortTour);

    // Runs the whole tour; returns the number of steps that failed.
    int run();

private:
    void layOutPreset();
    void openDialogs();
    void openPictureModes(QDialog *singles);

    // Runs open(), which shows a modal dialog of the class named; once the
    // dialog has settled, saves its screenshot, runs inside(dialog) and
    // closes it. A dialog that never shows counts as a failed step.
    void showDialog(const std::function<void()> &open, const char *className, const QString &shot,
                    const std::function<void(QDialog *)> &inside = {});
    void shoot(QWidget *widget, const QString &shot);
    void fail(const QString &step);

    QString m_folder;
    bool m_short;
    int m_failures = 0;
    WindowDriver m_driver;
};

#endif // TOUR_H
