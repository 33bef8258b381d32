#include "windowsender.h"

#include "deviceblocks.h"
#include "wallmodel.h"

namespace {

// Arrow-key nudges that follow each other within this pause go to the
// device as one change: a held key sends once, when it is let go.
constexpr int NudgePauseMs = 600;

QByteArray slotOf(const QByteArray &allData, int id)
{
    return allData.mid(id * DeviceBlocks::SlotSize, DeviceBlocks::SlotSize);
}

} // namespace

WindowSender::WindowSender(const WallModel &model, QObject *parent)
    : QObject(parent), m_model(model), m_deviceSlots(DeviceBlocks::allData(model))
{
    m_pause.setSingleShot(true);
    m_pause.setInterval(NudgePauseMs);
    connect(&m_pause, &QTimer::timeout, this, [this] { sendWindow(m_nudged); });
}

// What was nudged last goes before sending stops: it belongs to the preset
// shown now.
void WindowSender::hold()
{
    if (m_pause.isActive())
        sendWindow(m_nudged);
    m_sending = false;
}

void WindowSender::resume()
{
    m_sending = true;
    adopt();
}

void WindowSender::adopt()
{
    endPause();
    m_deviceSlots = DeviceBlocks::allData(m_model);
}

void WindowSender::sendWindow(int id)
{
    endPause(); // this send carries the nudges too
    if (!m_sending)
        return;
    if (m_kept) {
        emit withheld();
        return;
    }
    const QByteArray current = DeviceBlocks::allData(m_model);
    if (id >= 0)
        emit windowMessage(DeviceBlocks::windowMessage(m_model, id));
    for (int other = 0; other < BlockLayout::Slots; ++other) {
        if (other != id && slotOf(current, other) != slotOf(m_deviceSlots, other))
            emit windowMessage(DeviceBlocks::windowMessage(m_model, other));
    }
    m_deviceSlots = current;
}

void WindowSender::sendLater(int id)
{
    m_nudged = id;
    m_pause.start();
}

void WindowSender::sendSource(int id, int channel)
{
    if (m_sending && m_kept)
        emit withheld();
    else if (m_sending)
        emit sourceMessage(QByteArray().append(char(id)).append(char(channel)));
}

// One frame empties the preset on the device.
void WindowSender::sendDeleteAll()
{
    if (m_sending && m_kept) {
        emit withheld();
        return;
    }
    if (m_sending)
        emit allDeleted();
    adopt();
}

// However the nudges went, by the pause or with another send, the next
// nudge is another change.
void WindowSender::endPause()
{
    if (m_nudged < 0)
        return;
    m_pause.stop();
    m_nudged = -1;
    ++m_group;
}
