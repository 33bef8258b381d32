#include "offairactions.h"

#include "presetstore.h"
#include "takeonair.h"

#include <form_model.h>
#include <mygraphicsview.h>
#include <singleton_serialport.h>

#include <QUndoStack>

OffAirActions::OffAirActions(Singleton_SerialPort *link, PresetStore *presets, MyGraphicsView *canvas,
                             Form_Model *bar, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_presets(presets)
    , m_canvas(canvas)
    , m_bar(bar)
{
    using L = Singleton_SerialPort;
    connect(link, &L::isFistConnect, this, [this] { m_wallKnown = true; });
    connect(link, &L::presetWritten, this, &OffAirActions::presetWritten);
    connect(link, &L::linkStateChanged, this, &OffAirActions::refresh);
    connect(presets, &PresetStore::opened, this, &OffAirActions::refresh);
    connect(presets, &PresetStore::onAirChanged, this, &OffAirActions::refresh);
}

void OffAirActions::setEnglish(bool english)
{
    m_text.setEnglish(english);
    emit changed();
}

int OffAirActions::onAir() const
{
    return m_link->isConnected() ? m_presets->onAir() : -1;
}

// One take at a time: the next waits until the device has confirmed or
// lost the last one's write.
bool OffAirActions::canTake() const
{
    const int shown = m_presets->shown();
    return m_blind && m_link->isConnected() && shown >= 0 && shown != onAir() && m_pending.taken < 0;
}

bool OffAirActions::canRevert() const
{
    return m_link->isConnected() && m_last.taken >= 0 && onAir() == m_last.taken && m_pending.taken < 0;
}

QString OffAirActions::title() const
{
    const auto name = [](int preset) { return QStringLiteral("M%1").arg(preset + 1); };
    const int shown = m_presets->shown();
    if (m_offline && shown >= 0)
        return m_text("Offline: editing %1, changes kept here", "离线编辑：%1，修改保存在本机").arg(name(shown));
    if (!m_link->isConnected())
        return QString();
    QString air = m_text("On air: %1", "播出：%1").arg(name(onAir()));
    if (!m_blind)
        return air;
    if (shown < 0 || shown == onAir())
        return air + m_text("  ·  Blind: pick a preset to edit", "　·　预编辑：请选择要编辑的模式");
    return air + m_text("  ·  Editing blind: %1", "　·　预编辑：%1").arg(name(shown));
}

void OffAirActions::setBlind(bool on)
{
    if (m_blind == on)
        return;
    m_blind = on;
    const int air = onAir();
    if (!on && air >= 0 && m_presets->shown() != air)
        m_presets->open(air);
    refresh();
}

bool OffAirActions::open(int n)
{
    if (m_blind && n >= 0 && n == onAir()) {
        m_bar->setShown(m_presets->shown());
        return false;
    }
    m_presets->open(n);
    return true;
}

bool OffAirActions::take()
{
    if (!canTake())
        return false;
    const int taken = m_presets->shown();
    const int before = m_presets->onAir();
    if (!m_presets->take(taken))
        return false;
    m_pending = m_last = {taken, before};
    m_presets->history(taken)->push(new TakeOnAir(this, taken, before, m_canvas->text()));
    refresh();
    return true;
}

bool OffAirActions::revert()
{
    if (!canRevert())
        return false;
    recallBefore(m_last.before);
    return true;
}

// Offline work needs a wall: the one a connection left in the record, or
// the data file's.
bool OffAirActions::setOffline(bool on)
{
    if (on == m_offline)
        return true;
    if (on && (m_link->isConnected() || (!m_wallKnown && !m_presets->loadDataFile())))
        return false;
    m_wallKnown = true;
    m_offline = on;
    if (on)
        m_presets->open(m_presets->shown() >= 0 ? m_presets->shown() : m_presets->onAir());
    refresh();
    return true;
}

void OffAirActions::takeAgain(int preset, int before)
{
    if (!m_link->isConnected() || !m_presets->take(preset))
        return;
    m_pending = m_last = {preset, before};
    refresh();
}

// With Blind off the canvas follows the wall, as a preset button would.
void OffAirActions::recallBefore(int preset)
{
    if (!m_link->isConnected())
        return;
    if (m_blind)
        m_presets->recall(preset);
    else
        m_presets->show(preset);
}

// A take whose write was lost sent no recall: the wall kept the preset it
// had.
void OffAirActions::presetWritten(int preset, int outcome)
{
    if (preset != m_pending.taken || outcome == Singleton_SerialPort::PresetWriteConfirmed)
        return;
    const int before = m_pending.before;
    m_pending = {};
    if (outcome == Singleton_SerialPort::PresetWriteLost)
        m_presets->setOnAir(before);
    refresh();
}

// Without a link nothing can be sent; blind, nothing may be: the preset on
// air, shown blind, takes no edits.
void OffAirActions::refresh()
{
    const bool linked = m_link->isConnected();
    const int air = onAir();
    const int shown = m_presets->shown();
    m_canvas->setKeptHere(m_blind || !linked);
    m_canvas->setOnAirLock(m_blind && linked && shown >= 0 && shown == air);
    m_bar->setOnAir(m_blind && linked ? air : -1);
    emit changed();
}
