#ifndef OFFAIRACTIONS_H
#define OFFAIRACTIONS_H

#include <bilingual.h>

#include <QObject>
#include <QString>

class Form_Model;
class OnAirModel;
class MyGraphicsView;
class PresetStore;
class Singleton_SerialPort;

// Work that does not reach the wall as it is made. Blind: a preset other
// than the one on air is opened and edited here only, then taken whole
// (written, then recalled: the wall changes in one switch), and the last
// take can be reverted. Offline: with no link, the host's data are edited
// here. Either way every edit is marked changed here, and the preset bar
// and the canvas show which preset is on air and which is edited.
class OffAirActions : public QObject
{
    Q_OBJECT

public:
    OffAirActions(Singleton_SerialPort *link, OnAirModel *air, PresetStore *presets, MyGraphicsView *canvas,
                  Form_Model *bar, QObject *parent);

    void setEnglish(bool english);

    bool isBlind() const;
    bool isOffline() const;
    // The preset on air, -1 while it is not known (no link).
    int onAir() const;
    bool canTake() const;
    bool canRevert() const;
    // Which preset is on air and which is edited, in the language set.
    QString title() const;

    // Switched off, the canvas goes back to the preset on air; edits made
    // blind stay the host's. Not offline: blind needs a wall to take to.
    void setBlind(bool on);
    // Opens preset n for editing without recalling it; false, opening
    // nothing, for the preset on air while blind.
    bool open(int n);
    // Writes the edited preset whole and recalls it, as one undoable step;
    // false when it cannot be sent.
    bool take();
    // Recalls the preset that was on air before the last take.
    bool revert();
    // Offline work on the host's data; false when no wall is known. The
    // caller ends it when the link is back.
    bool setOffline(bool on);

    // The steps of a take's undo history.
    void takeAgain(int preset, int before);
    void recallBefore(int preset);

signals:
    // Blind, offline, the preset on air or edited, or what can be taken.
    void changed();

private:
    void refresh();
    void airChanged();
    bool keepsNothingUnshown(int preset) const;
    void presetWritten(int preset, int outcome);

    struct Take
    {
        int taken = -1;
        int before = -1;
    };

    Singleton_SerialPort *m_link;
    OnAirModel *m_air;
    PresetStore *m_presets;
    MyGraphicsView *m_canvas;
    Form_Model *m_bar;
    Bilingual m_text;
    Take m_pending; // written, not yet confirmed
    Take m_last;
};

#endif // OFFAIRACTIONS_H
