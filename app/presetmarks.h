#ifndef PRESETMARKS_H
#define PRESETMARKS_H

#include <devicelimits.h>

#include <QList>

#include <array>
#include <cstddef>
#include <functional>
#include <utility>

class Form_Model;

// What the host knows of each preset against the device, shown as a mark on
// its preset button with a note on the tool tip: confirmed on the device,
// changed here since the last check, found otherwise on the device by a
// verify, or not checked.
class PresetMarks
{
public:
    enum State { Unknown, Confirmed, ChangedHere, DiffersOnDevice };
    static constexpr int Presets = Limits::Presets;

    explicit PresetMarks(Form_Model *bar);

    State state(int preset) const { return m_states[std::size_t(preset)]; }
    void set(int preset, State state);
    void setAll(State state);
    QList<int> marked(State state) const;
    QList<int> changedHere() const { return marked(ChangedHere); }
    // A verify found the preset the same on the device or not; a change
    // made here stays one until it is confirmed.
    void verified(int preset, bool same);
    // A write to the preset ended (Singleton_SerialPort::PresetWrite): a
    // whole preset confirmed is the device's; a lost one is not.
    void written(int preset, int outcome);
    void setLanguage(bool english);
    // Called after each change of a preset's state.
    void onChange(std::function<void()> changed) { m_changed = std::move(changed); }

private:
    void show(int preset);

    Form_Model *m_bar;
    std::array<State, Presets> m_states{};
    bool m_english = false;
    std::function<void()> m_changed;
};

#endif // PRESETMARKS_H
