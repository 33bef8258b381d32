#ifndef EDITSENDER_H
#define EDITSENDER_H

#include <QObject>

class MyGraphicsView;
class PresetStore;
class Singleton_SerialPort;

// The canvas's edits to the device: window writes, deletes and source
// changes, each naming the preset it was made in. The canvas hands on only
// edits that reach the wall; those kept here never come this way.
class EditSender : public QObject
{
    Q_OBJECT

public:
    EditSender(Singleton_SerialPort *link, PresetStore *presets, MyGraphicsView *canvas, QObject *parent);

signals:
    // A window's source changed: window number and input code.
    void sourceSet(int window, int input);

private:
    void setSource(const QByteArray &windowAndInput);
    void writeWindows(const QByteArray &windows);
    void deleteWindows();

    Singleton_SerialPort *m_link;
    PresetStore *m_presets;
};

#endif // EDITSENDER_H
