#include "requestsplitter.h"

#include "framebytes.h"
#include "simlog.h"

#include <protocol.h>

using FrameBytes::byteAt;

namespace {

constexpr int MinimumLength = Protocol::HeaderSize + Protocol::TrailerSize;
// The caption frame announces one byte less than it carries.
constexpr int ShortCaptionLength = 23;

} // namespace

void RequestSplitter::append(const QByteArray &bytes)
{
    m_buffer.append(bytes);
}

bool RequestSplitter::takeRequest(QByteArray *request)
{
    while (!m_buffer.isEmpty()) {
        if (byteAt(m_buffer, 0) != Protocol::FrameStart) {
            skipByte();
            continue;
        }
        if (m_buffer.size() < Protocol::HeaderSize)
            return false;
        if (!headerIsValid()) {
            skipByte();
            continue;
        }
        const int length = frameLength();
        if (m_buffer.size() < length)
            return false;
        if (byteAt(m_buffer, length - 2) != Protocol::Marker
            || byteAt(m_buffer, length - 1) != Protocol::FrameEnd) {
            skipByte();
            continue;
        }
        *request = m_buffer.left(length);
        m_buffer.remove(0, length);
        return true;
    }
    return false;
}

bool RequestSplitter::headerIsValid() const
{
    const quint8 kind = byteAt(m_buffer, 5);
    return byteAt(m_buffer, 1) == 0x01 && byteAt(m_buffer, 4) == 0x04
        && (kind == Protocol::WriteKind || kind == Protocol::ReadKind)
        && byteAt(m_buffer, 6) == Protocol::Marker && byteAt(m_buffer, 7) == 0x01
        && frameLength() >= MinimumLength;
}

int RequestSplitter::frameLength() const
{
    const int announced = byteAt(m_buffer, 2) << 8 | byteAt(m_buffer, 3);
    const bool shortCaption = byteAt(m_buffer, Protocol::CodeOffset) == Protocol::SetCaptions
        && announced == ShortCaptionLength;
    return shortCaption ? announced + 1 : announced;
}

void RequestSplitter::skipByte()
{
    m_buffer.remove(0, 1);
    ++m_skipped;
    qCDebug(lcSim) << "skipped a byte that starts no request";
}
