#ifndef OPERATORACTIONS_H
#define OPERATORACTIONS_H

#include <remoteactions.h>

#include <QList>

class BackupSources;
class DataActions;
class Form_Model;
class LinkFeedback;
class MyGraphicsView;
class OffAirActions;
class PresetCheck;
class PresetStore;
class Singleton_SerialPort;

// The operator's actions on presets and windows, in one place for the
// window's own controls and for the remote control: a preset recalled by
// either goes the way of a click on its button, so the frames, the canvas,
// the bar, the marks and the undo histories cannot tell them apart. Also
// reports what others may follow: a preset recalled once the device took
// it, and by whom; the link; the marks; the input signals.
class OperatorActions : public RemoteActions
{
    Q_OBJECT

public:
    OperatorActions(Singleton_SerialPort *link, PresetStore *presets, DataActions *data,
                    OffAirActions *offAir, LinkFeedback *feedback, Form_Model *bar,
                    MyGraphicsView *canvas, QObject *parent);

    bool linked() const override;
    bool busy() override;
    // The preset on the wall, whichever the canvas shows.
    Status status() override;
    QList<Preset> presets() const override;
    // The preset shown as the canvas holds it, others as stored.
    QList<Window> windows(int preset) const override;
    QList<Input> inputs() const override;

    // A command of the remote control is under way: its failure is the
    // caller's to hear, not a message box in the operator's face.
    bool remoteCommandPending() const { return m_remotePending; }

    // Chooses the preset on the bar, as a click on its button does. While
    // the operator edits blind, a remote recall changes the wall and leaves
    // the canvas to the preset edited; that preset itself is refused, as
    // its edits are not on the device, unless it is the one on air.
    Outcome recall(int preset, Origin origin) override;
    // A recall in two steps, so that several processors' frames all go out
    // before any canvas follows: postRecall sends it, followRecall brings
    // the bar and the canvas to the preset.
    Outcome postRecall(int preset, Origin origin);
    void followRecall(int preset, Origin origin);
    // The next or previous preset after the current one, round the bar.
    Outcome step(int by, Origin origin) override;
    // The window of the preset shown takes the input, as when the operator
    // drops the source on it or picks it in its list. A remote caller is
    // refused while the preset is edited blind: nothing would reach the
    // wall.
    Outcome setSource(int window, int input, Origin origin) override;
    // Reads the device beside the host's data; verified() gives the result
    // and no dialog opens.
    void verifyQuietly(Origin origin) override;
    Outcome returnToMain(int window, Origin origin) override;
    // The backups of the preset on air: their switches are told as
    // sourceSwitched().
    void setBackups(BackupSources *backups);

public slots:
    // The bar's selection: shows the preset, recalled unless the device
    // chose it; blind or offline, only opens it for editing.
    void presetChosen(int preset);

signals:
    // A recall went to the link, by whom (Origin); presetRecalled() follows
    // when the device confirms it.
    void recallPosted(int preset, int origin);
    void presetShown(int preset);
    // The preset on air cannot be opened blind.
    void onAirRefused();

private:
    int currentPreset() const;
    bool editsOnly(Origin origin) const;
    void linkSettled();
    void inputsChanged();
    void markChanged();
    void checked(const PresetCheck *check);
    QList<int> signalsPresent() const;

    Singleton_SerialPort *m_link;
    PresetStore *m_presets;
    DataActions *m_data;
    OffAirActions *m_offAir;
    LinkFeedback *m_feedback;
    Form_Model *m_bar;
    BackupSources *m_backups = nullptr;
    MyGraphicsView *m_canvas;
    Origin m_choosing = ByOperator;
    struct Recall
    {
        int preset;
        Origin origin;
    };
    QList<Recall> m_recalls; // posted, not yet confirmed
    // Until the queue next runs empty: a remote caller waits for its end,
    // and the link reported a failure on the way.
    bool m_remotePending = false;
    bool m_failedOnTheWay = false;
    bool m_marksDue = false;
    QList<int> m_signals; // channels with a signal, as last reported
};

#endif // OPERATORACTIONS_H
