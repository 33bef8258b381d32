#include "linkrequest.h"

LinkRequest LinkRequest::recall(int preset)
{
    return {Command::RecallPreset, preset, {}, Command::ShortWait};
}

LinkRequest LinkRequest::writeWindows(int preset, const QByteArray &windows)
{
    return {Command::WriteWindows, preset, windows, Command::ShortWait};
}

LinkRequest LinkRequest::deleteWindows(int preset)
{
    return {Command::DeleteWindows, preset, {}, Command::ShortWait};
}

LinkRequest LinkRequest::setWindowSource(int preset, const QByteArray &windowAndInput)
{
    return {Command::SetWindowSignal, preset, windowAndInput, Command::ShortWait};
}
