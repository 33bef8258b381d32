#ifndef WINDOWSENDER_H
#define WINDOWSENDER_H

#include <QByteArray>
#include <QObject>
#include <QTimer>

class WallModel;

// Keeps the device's copy of a preset's windows true. After a change the
// changed window goes first, then every window whose slot changed with it
// (windows stacked with it whose cells moved); a window gone since the
// device was last told goes as a deleted one. Nudges that follow each
// other within a pause go as one change.
class WindowSender : public QObject
{
    Q_OBJECT

public:
    explicit WindowSender(const WallModel &model, QObject *parent = nullptr);

    bool isSending() const { return m_sending; }
    // Nothing goes out until resume(); what waits for its pause goes first.
    void hold();
    void resume();
    // The model as it is now is what the device holds.
    void adopt();
    // The device is not told; what it was last told stays the reference, so
    // the first send after keeping ends carries every window that differs.
    void setKept(bool kept) { m_kept = kept; }
    bool isKept() const { return m_kept; }

    void sendWindow(int id); // -1: no window first
    void sendLater(int id);  // when the nudges have paused
    bool isWaiting() const { return m_pause.isActive(); }
    int group() const { return m_group; } // shared by the nudges sent as one change
    void sendSource(int id, int channel);
    void sendDeleteAll(); // the model was emptied

signals:
    void windowMessage(const QByteArray &message);
    void sourceMessage(const QByteArray &message);
    void allDeleted();
    // A change that would have gone to the device stays with the host.
    void withheld();

private:
    void endPause();

    const WallModel &m_model;
    QByteArray m_deviceSlots; // window slots as the device was last told them
    bool m_sending = true;
    bool m_kept = false;
    QTimer m_pause;
    int m_nudged = -1; // waits for the pause; -1: nothing waits
    int m_group = 0;
};

#endif // WINDOWSENDER_H
