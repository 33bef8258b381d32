#include "offairactions.h"

#include "onairmodel.h"
#include "presetstore.h"
#include "takeonair.h"

#include <form_model.h>
#include <mygraphicsview.h>
#include <singleton_serialport.h>

#include <QMessageBox>
#include <QUndoStack>

OffAirActions::OffAirActions(Singleton_SerialPort *link, OnAirModel *air, PresetStore *presets,
                             MyGraphicsView *canvas, Form_Model *bar, QObject *parent)
    : QObject(parent)
    , m_link(link)
    , m_air(air)
    , m_presets(presets)
    , m_canvas(canvas)
    , m_bar(bar)
{
    connect(link, &Singleton_SerialPort::presetWritten, this, &OffAirActions::presetWritten);
    connect(link->state(), &LinkStateModel::stateChanged, this, [this] {
        if (!m_link->isConnected())
            m_air->setUnlinked();
        refresh();
    });
    connect(air, &OnAirModel::changed, this, &OffAirActions::airChanged);
}

bool OffAirActions::isBlind() const
{
    return m_air->isBlind();
}

bool OffAirActions::isOffline() const
{
    return m_air->isOffline();
}

void OffAirActions::setEnglish(bool english)
{
    m_text.setEnglish(english);
    emit changed();
}

int OffAirActions::onAir() const
{
    return m_air->wallPreset();
}

// One take at a time: the next waits until the device has confirmed or
// lost the last one's write.
bool OffAirActions::canTake() const
{
    const int shown = m_presets->shown();
    return isBlind() && m_link->isConnected() && shown >= 0 && shown != onAir() && m_pending.taken < 0;
}

bool OffAirActions::canRevert() const
{
    return m_link->isConnected() && m_last.taken >= 0 && onAir() == m_last.taken && m_pending.taken < 0;
}

QString OffAirActions::title() const
{
    const auto name = [](int preset) { return QStringLiteral("M%1").arg(preset + 1); };
    const int shown = m_presets->shown();
    if (isOffline() && shown >= 0)
        return m_text("Offline: editing %1, changes kept here", "离线编辑：%1，修改保存在本机").arg(name(shown));
    if (!m_link->isConnected())
        return QString();
    QString air = onAir() < 0 ? m_text("On air: unknown", "播出：未知")
                              : m_text("On air: %1", "播出：%1").arg(name(onAir()));
    if (!isBlind())
        return air;
    if (shown < 0 || shown == onAir())
        return air + m_text("  ·  Blind: pick a preset to edit", "　·　预编辑：请选择要编辑的模式");
    return air + m_text("  ·  Editing blind: %1", "　·　预编辑：%1").arg(name(shown));
}

void OffAirActions::setBlind(bool on)
{
    if (isBlind() == on || isOffline()) {
        emit changed();
        return;
    }
    m_air->setMode(on ? OnAirModel::Mode::Blind : OnAirModel::Mode::Live);
    refresh();
}

bool OffAirActions::open(int n)
{
    if (isBlind() && n >= 0 && n == onAir()) {
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
    if (!keepsNothingUnshown(taken) || !m_presets->take(taken))
        return false;
    m_pending = m_last = {taken, before};
    m_presets->history(taken)->push(new TakeOnAir(this, taken, before, m_canvas->text()));
    refresh();
    return true;
}

// A take writes the preset as the canvas shows it: windows the device holds
// that the canvas cannot show go, and only when the operator says so.
bool OffAirActions::keepsNothingUnshown(int preset) const
{
    const int unshown = m_presets->unshown(preset);
    if (unshown == 0)
        return true;
    const QString question =
        m_text("M%1 holds %2 window(s) on the device that this program cannot show (off the wall). A take "
               "writes the preset as shown here and removes them from the device. Take anyway?",
               "M%1 在设备上有 %2 个本程序无法显示的窗口（超出拼接范围）。预编辑上屏将按本机显示写入该模式，"
               "并从设备上删除这些窗口。仍要上屏吗？")
            .arg(preset + 1)
            .arg(unshown);
    return QMessageBox::question(nullptr, m_text("Explain", "说明"), question, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No)
        == QMessageBox::Yes;
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
    if (on == isOffline())
        return true;
    if (on && (m_link->isConnected() || (!m_link->state()->wasReady() && !m_presets->loadDataFile())))
        return false;
    const int last = m_link->dm_data.curModel;
    m_air->setMode(on ? OnAirModel::Mode::Offline : OnAirModel::Mode::Live);
    if (on)
        m_presets->open(m_presets->shown() >= 0 ? m_presets->shown() : last);
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
    if (isBlind())
        m_presets->recall(preset);
    else
        m_presets->show(preset);
}

// A take whose write was lost sent no recall: the wall kept the preset it
// had, and the model hears of the recall dropped with it.
void OffAirActions::presetWritten(int preset, int outcome)
{
    if (preset != m_pending.taken || outcome == Singleton_SerialPort::PresetWriteConfirmed)
        return;
    m_pending = {};
    refresh();
}

// Live, the canvas shows the preset on air: after offline work, a
// reconnection or a choice that left another preset on it, an edit there
// would otherwise be taken for one of the wall's.
void OffAirActions::airChanged()
{
    const int air = m_air->onAir();
    if (m_air->mode() == OnAirModel::Mode::Live && air >= 0 && m_presets->shown() >= 0
        && m_presets->shown() != air)
        m_presets->open(air);
    refresh();
}

// An edit goes to the device only when it is made live on the preset the
// wall shows; any other is kept here, marked. Blind, the preset on air
// takes no edits.
void OffAirActions::refresh()
{
    const bool blind = isBlind() && m_link->isConnected();
    const int air = onAir();
    const int shown = m_presets->shown();
    m_canvas->setKeptHere(!m_air->editsReachWall());
    m_canvas->setOnAirLock(blind && shown >= 0 && shown == air);
    m_bar->setOnAir(blind ? air : -1);
    emit changed();
}
