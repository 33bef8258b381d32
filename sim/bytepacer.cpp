#include "bytepacer.h"

#include <algorithm>

namespace {

constexpr qint64 BitsPerByte = 10;
constexpr qint64 NsPerSecond = 1000000000;
constexpr qint64 NsPerMs = 1000000;

} // namespace

BytePacer::BytePacer(QObject *parent)
    : QObject(parent)
{
    m_clock.start();
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &BytePacer::releaseDue);
}

void BytePacer::setBaudRate(int baud)
{
    m_byteNs = baud > 0 ? BitsPerByte * NsPerSecond / baud : 0;
}

void BytePacer::push(const QByteArray &bytes)
{
    if (m_queue.isEmpty())
        m_lineFreeNs = std::max(m_lineFreeNs, m_clock.nsecsElapsed());
    m_queue.append(bytes);
    if (!m_timer.isActive())
        releaseDue();
}

void BytePacer::releaseDue()
{
    if (m_queue.isEmpty())
        return;
    const qint64 now = m_clock.nsecsElapsed();
    const qint64 due = m_byteNs == 0 ? m_queue.size() : (now - m_lineFreeNs) / m_byteNs;
    const int count = int(std::min<qint64>(due, m_queue.size()));
    if (count > 0) {
        const QByteArray bytes = m_queue.left(count);
        m_queue.remove(0, count);
        m_lineFreeNs += count * m_byteNs;
        emit released(bytes);
    }
    if (m_queue.isEmpty()) {
        emit drained();
        return;
    }
    const qint64 nextNs = m_lineFreeNs + m_byteNs - m_clock.nsecsElapsed();
    m_timer.start(int(std::max<qint64>(1, (nextNs + NsPerMs - 1) / NsPerMs)));
}
