#include "presetmarks.h"

#include <bilingual.h>
#include <form_model.h>
#include <singleton_serialport.h>

#include <QColor>

#include <utility>

namespace {

struct Look
{
    QColor colour;
    const char *english;
    const char *chinese;
};

const Look Looks[] = {
    {QColor(150, 150, 150), "Not checked against the device", "未与设备核对"},
    {QColor(60, 170, 60), "Confirmed on the device", "已与设备确认"},
    {QColor(230, 150, 30), "Changed here since the last check", "本机修改后未与设备确认"},
    {QColor(200, 50, 50), "Differs on the device", "设备上的数据不同"},
};

} // namespace

PresetMarks::PresetMarks(Form_Model *bar)
    : m_bar(bar)
{
}

void PresetMarks::set(int preset, State state)
{
    if (preset < 0 || preset >= Presets)
        return;
    const State before = std::exchange(m_states[std::size_t(preset)], state);
    show(preset);
    if (before != state && m_changed)
        m_changed();
}

void PresetMarks::setAll(State state)
{
    for (int m = 0; m < Presets; ++m)
        set(m, state);
}

QList<int> PresetMarks::marked(State state) const
{
    QList<int> presets;
    for (int m = 0; m < Presets; ++m) {
        if (m_states[std::size_t(m)] == state)
            presets << m;
    }
    return presets;
}

void PresetMarks::verified(int preset, bool same)
{
    if (same)
        set(preset, Confirmed);
    else if (state(preset) != ChangedHere)
        set(preset, DiffersOnDevice);
}

// A window written and confirmed keeps what the preset was: it changed
// the device as it changed the host.
void PresetMarks::written(int preset, int outcome)
{
    if (outcome == Singleton_SerialPort::WholePresetConfirmed)
        set(preset, Confirmed);
    else if (outcome == Singleton_SerialPort::PresetWriteLost)
        set(preset, ChangedHere);
}

void PresetMarks::setLanguage(bool english)
{
    m_english = english;
    for (int m = 0; m < Presets; ++m)
        show(m);
}

void PresetMarks::show(int preset)
{
    const Look &look = Looks[m_states[std::size_t(preset)]];
    m_bar->setMark(preset, look.colour, Bilingual(m_english)(look.english, look.chinese));
}
