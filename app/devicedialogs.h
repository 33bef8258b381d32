#ifndef DEVICEDIALOGS_H
#define DEVICEDIALOGS_H

#include <QList>
#include <QObject>

class MyGraphicsView;
class QWidget;
class Singleton_SerialPort;

// The dialogs of the device's settings, each run modally over the window:
// communication settings and test, the wall, the input signals, an
// input's picture, and the trims of the canvas's windows.
class DeviceDialogs : public QObject
{
    Q_OBJECT

public:
    DeviceDialogs(Singleton_SerialPort *link, MyGraphicsView *canvas, QWidget *window);

    void setEnglish(bool english) { m_english = english; }

    void openComSet();
    void openComTest();
    void openLedMosaic();
    void openInputSingle();
    void openInputSettings(int card);
    void openTrimming(int win);
    void openTrimData(const QList<int> &values);

signals:
    // The wall dialog asks for its wall to be written.
    void wallWriteAsked();
    void sourcesChanged();

private:
    Singleton_SerialPort *m_link;
    MyGraphicsView *m_canvas;
    QWidget *m_window;
    bool m_english = false;
};

#endif // DEVICEDIALOGS_H
