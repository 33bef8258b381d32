#ifndef PRESETSTORE_H
#define PRESETSTORE_H

#include "presetmarks.h"

#include <linkrequest.h>
#include <presetread.h>

#include <QByteArray>
#include <QObject>
#include <QUndoGroup>

#include <array>
#include <optional>

class Form_Model;
class OnAirModel;
class MyGraphicsView;
class QUndoStack;
class Singleton_SerialPort;

// The 16 presets the host keeps: the one on the canvas, the others in the
// record as stored canvas data, with what a read from the device found of
// each while it has not changed here since. What is on air and shown is
// the OnAirModel's; the store keeps it told.
// Opens them on the canvas and recalls them on the device, rebuilds
// them from the device's windows, takes them from a verify read and makes
// what a write of whole presets sends. Each preset has its mark on the
// preset bar and its own undo history, which a rebuild as a whole empties.
class PresetStore : public QObject
{
    Q_OBJECT

public:
    // What the host holds of one preset.
    struct Held
    {
        QByteArray view;
        std::optional<PresetRead> asRead;
    };

    PresetStore(MyGraphicsView *canvas, Form_Model *bar, Singleton_SerialPort *link, OnAirModel *air,
                QObject *parent);

    // The preset on the canvas, -1 for none.
    int shown() const { return m_shown; }
    // The preset the wall shows or switches to, -1 unknown.
    int onAir() const;
    // False while the device's current preset is being shown: a preset
    // button then only opens it.
    bool recalls() const { return m_recall; }
    PresetMarks &marks() { return m_marks; }
    QUndoGroup &history() { return m_history; }
    QUndoStack *history(int preset) const { return m_stacks[size_t(preset)]; }
    // The marks and every preset's undo history in that language.
    void setLanguage(bool english);

    // The canvas goes back into its preset.
    void store();
    // Stores the canvas and shows preset n on it for editing; nothing is
    // sent. n outside 0..15 only stores.
    void open(int n);
    // The device switches to preset n: it goes on air. The canvas stays.
    void recall(int n);
    // What a preset button does: recalls preset n, unless the device chose
    // it, and opens it.
    void show(int n);
    // The device reports preset n as its current one, and the host takes
    // it as its own.
    void setOnAir(int n);
    // The device reports preset n as its current one; the host's own
    // current preset (recalled by a write of its data) stays.
    void deviceShows(int n);
    // Writes preset n whole, then recalls it: the wall changes in one
    // switch, and not at all when the write is lost. False, with nothing
    // sent, when a stored preset cannot be read.
    bool take(int n);
    // Brings the bar and the canvas to preset n, recalled already.
    void showRecalled(int n);
    // Shows the device's current preset without recalling it; the canvas
    // on show is not written back into any preset.
    void showDevicePreset();
    // The canvas takes the record's wall; its windows go.
    void showGrid();

    // The record's device windows become the 16 presets.
    void rebuildFromDevice();
    // The device's copy of a verify read becomes the host's: wall, current
    // preset and every preset.
    void takeDeviceCopy();
    // The copy's presets given become the host's, each one undoable step
    // on its preset's history.
    void takePresets(const QList<int> &presets);
    // The copy's current preset becomes the host's, shown without recall.
    void takeCurrent();
    Held held(int preset) const;
    // The preset becomes what was held, with the mark given; nothing is
    // sent, and the canvas shows it when it is the preset shown.
    void hold(int preset, const Held &held, PresetMarks::State mark);
    // A new wall empties every preset, on the device too.
    void emptyAll();
    // Windows the device holds in the preset, as last read, that the
    // canvas cannot show: a write of the preset whole removes them.
    int unshown(int preset) const { return m_unshown[size_t(preset)]; }
    // The presets came from the host's own file, trusted but not checked;
    // what was read of them and the marks they had when it was written
    // come back with them.
    void takenFromFile();
    // The host's data file: read into the record, its wall on the canvas
    // and its presets taken; false, with nothing changed, when it cannot be
    // read. Saving stores the canvas first, and keeps beside it what was
    // read of each preset and the marks; false when any of them could not
    // be written, with notSaved() unless the save before failed too.
    bool loadDataFile();
    bool saveDataFile();

    // Posts the wall, every preset and the current preset as one batch;
    // false, with nothing sent, when a stored preset cannot be read.
    bool writeAll();
    // Posts the presets given, whole, then recalls the current preset when
    // asked; false, with nothing sent, when a stored preset cannot be read.
    bool writePresets(const QList<int> &presets, bool recall);

signals:
    // The preset shown was replaced without an edit of the canvas.
    void shownReloaded();
    // A recall of the preset was posted.
    void recalled(int preset);
    // Another preset is on the canvas, or on air.
    void opened(int preset);
    void onAirChanged(int preset);
    // The data file, or what goes beside it, could not be written.
    void notSaved();

private:
    void load(int n);
    // The writes go first, in one batch with the recall.
    void recallAfter(const QList<LinkRequest> &writes, int n);
    void postRecall(int n, const QList<LinkRequest> &writes = {});
    void forgetHistories();

    MyGraphicsView *m_canvas;
    Form_Model *m_bar;
    Singleton_SerialPort *m_link;
    OnAirModel *m_air;
    PresetMarks m_marks;
    QUndoGroup m_history; // one stack a preset
    std::array<QUndoStack *, PresetMarks::Presets> m_stacks{};
    std::array<int, PresetMarks::Presets> m_unshown{};
    int m_shown = -1;
    bool m_recall = true; // showing a preset recalls it on the device
    bool m_saveFailing = false; // the last save of the data file failed
};

#endif // PRESETSTORE_H
