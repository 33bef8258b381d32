#include "waitprogress.h"

#include <bilingual.h>
#include <commandtype.h>
#include <devicelimits.h>

#include <cmath>

namespace {

constexpr int Presets = Limits::Presets;
constexpr int ReadsBeforePresets = 2; // 0x11 and 0x19, of the connection and the verify read
constexpr int FramesPerPresetRead = 2;
constexpr int FramesPerPresetWrite = 3;

int presetsRead(int framesDone, int before)
{
    return qBound(0, (framesDone - before) / FramesPerPresetRead, Presets);
}

} // namespace

WaitProgress::Page WaitProgress::update(int command, int framesDone, int framesTotal,
                                        qint64 bytesDone, qint64 bytesTotal, bool english)
{
    // The clock runs from the first reply of the command: the rate is that
    // of the bytes moved since.
    if (command != m_command || framesDone <= 1) {
        m_command = command;
        m_clock.start();
        m_bytesAtStart = bytesDone;
    }
    const Bilingual text(english);
    Page page;
    switch (command) {
    case Command::ConnectionRead:
    case Command::ReadAllPresets:
        page = {text("Reading presets %1 of %2", "正在读取模式 %1/%2"),
                presetsRead(framesDone, ReadsBeforePresets), Presets};
        break;
    case Command::VerifyRead:
        page = {text("Verifying %1 of %2", "正在校验 %1/%2"),
                presetsRead(framesDone, ReadsBeforePresets), Presets};
        break;
    case Command::WriteAllPresets:
        page = {text("Writing presets %1 of %2", "正在写入模式 %1/%2"),
                framesDone / FramesPerPresetWrite, framesTotal / FramesPerPresetWrite};
        break;
    default:
        page = {text("Sending %1 of %2", "正在发送 %1/%2"), framesDone, framesTotal};
        break;
    }
    page.text = page.text.arg(page.value).arg(page.maximum);
    const double left = secondsLeft(bytesDone, bytesTotal);
    if (left >= 0)
        page.text += text(", about %1 s left", "，约剩%1秒").arg(qMax(1.0, std::ceil(left)));
    return page;
}

double WaitProgress::secondsLeft(qint64 bytesDone, qint64 bytesTotal) const
{
    const double seconds = m_clock.isValid() ? double(m_clock.nsecsElapsed()) / 1e9 : 0;
    const qint64 moved = bytesDone - m_bytesAtStart;
    if (moved <= 0 || seconds <= 0)
        return -1;
    return double(bytesTotal - bytesDone) * seconds / double(moved);
}
