#ifndef REMOTEACTIONS_H
#define REMOTEACTIONS_H

#include <QList>
#include <QObject>
#include <QRect>
#include <QString>

// What the remote control may ask of the program and hear from it, and
// nothing else: the server sees the operator's actions through this face
// only, never the window's widgets. Presets and windows are counted from 0
// here; inputs are channel codes. Called in the GUI thread.
class RemoteActions : public QObject
{
    Q_OBJECT

public:
    // Who asked: the operator at the window, a remote client, or the show
    // running itself. Only the operator's own choice opens a preset blind.
    enum Origin { ByOperator, ByRemote, BySchedule, BySequence };
    enum Outcome { Done, NoPresetShown, NoSuchWindow, NoSuchInput, CanvasLocked, EditedBlind };

    struct Status
    {
        bool linked = false;
        QString transport; // "tcp" or "serial"
        int preset = 0;
        bool busy = false;
        QString state;     // the link's: "closed", "connecting", "reading", "ready", "lost", "reconnecting"
    };
    struct Preset
    {
        QString name;
        QString mark; // "unknown", "confirmed", "changed" or "differs"
    };
    struct Window
    {
        int window = 0;
        int input = 0;
        int layer = 0; // 0 at the bottom
        QRect rect;    // on the wall
        QRect source;  // of the input picture
    };
    struct Input
    {
        int input = 0; // channel code
        int slot = 0;  // input card entry, from 0
        QString name;
        QString label;
        bool signal = false;
    };
    struct Verify
    {
        bool read = false; // false: the device could not be read
        bool wallSame = false;
        bool currentSame = false;
        QList<int> differingPresets;
        QList<int> differingEntries;
    };

    using QObject::QObject;

    virtual bool linked() const = 0;
    // The link has frames queued or a wait page is open.
    virtual bool busy() = 0;
    virtual Status status() = 0;
    virtual QList<Preset> presets() const = 0;
    virtual QList<Window> windows(int preset) const = 0;
    virtual QList<Input> inputs() const = 0;

    // The remote client whose call runs now, as RemoteCall::client names
    // it; empty outside a client's call.
    const QString &caller() const { return m_caller; }
    void setCaller(const QString &caller) { m_caller = caller; }

    // Each posts what the operator's own action would; settled() follows.
    virtual Outcome recall(int preset, Origin origin) = 0;
    virtual Outcome step(int by, Origin origin) = 0;
    virtual Outcome setSource(int window, int input, Origin origin) = 0;
    // verified() follows, once the read is in or has failed.
    virtual void verifyQuietly(Origin origin) = 0;
    // The window of the preset on air, on a backup, shows its main input
    // again; NoSuchWindow when it is not on a backup.
    virtual Outcome returnToMain(int window, Origin origin)
    {
        Q_UNUSED(window)
        Q_UNUSED(origin)
        return NoSuchWindow;
    }

signals:
    // The device confirmed the recall (Origin).
    void presetRecalled(int preset, int origin);
    void linkChanged(bool up);
    void marksChanged();
    void signalsChanged();
    void verified(const RemoteActions::Verify &result);
    // What the link was asked has ended: done, unless failed.
    void settled(bool failed);
    // Nothing queued on the link and no wait page open any more.
    void idle();
    // The device shows the window from another input: reason "lost" (a
    // backup took over), "returned" (the main is back) or "operator".
    void sourceSwitched(int preset, int window, int from, int to, const QString &reason);

private:
    QString m_caller;
};

#endif // REMOTEACTIONS_H
