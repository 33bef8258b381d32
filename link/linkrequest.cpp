#include "linkrequest.h"

namespace {

LinkRequest plain(int type, int timeoutMs)
{
    LinkRequest request;
    request.type = type;
    request.timeoutMs = timeoutMs;
    return request;
}

LinkRequest ofPreset(int type, int preset, const QByteArray &payload = {})
{
    LinkRequest request = plain(type, Command::ShortWait);
    request.preset = preset;
    request.payload = payload;
    return request;
}

LinkRequest ofEntry(int type, int timeoutMs, int entry, const QByteArray &payload = {})
{
    LinkRequest request = plain(type, timeoutMs);
    request.entry = entry;
    request.payload = payload;
    return request;
}

// The value travels as one byte, whatever the control allowed.
LinkRequest inputValue(int type, int input, int value)
{
    LinkRequest request = plain(type, Command::ShortWait);
    request.payload.append(char(input & 0xFF)).append(char(value & 0xFF));
    return request;
}

} // namespace

LinkRequest LinkRequest::inBackground() const
{
    LinkRequest request = *this;
    request.background = true;
    return request;
}

LinkRequest LinkRequest::connectionRead()
{
    return plain(Command::ConnectionRead, Command::ReadAllWait);
}

LinkRequest LinkRequest::verifyRead()
{
    return plain(Command::VerifyRead, Command::ReadAllWait);
}

LinkRequest LinkRequest::readVersions()
{
    return plain(Command::ReadVersions, Command::ReadAllWait);
}

LinkRequest LinkRequest::readSignalFlags()
{
    return plain(Command::ReadSignalFlags, Command::ShortWait);
}

LinkRequest LinkRequest::readNetwork()
{
    return plain(Command::ReadNetwork, Command::ShortWait);
}

LinkRequest LinkRequest::readInputCards()
{
    return plain(Command::ReadInputCards, Command::ReadAllWait);
}

LinkRequest LinkRequest::writeWall(const FrameBuilder::Wall &wall)
{
    LinkRequest request = plain(Command::WriteWall, Command::WallWait);
    request.wall = wall;
    return request;
}

LinkRequest LinkRequest::writePresets(const QList<Preset> &presets)
{
    LinkRequest request = plain(Command::WriteAllPresets, Command::WriteAllWait);
    request.presets = presets;
    return request;
}

LinkRequest LinkRequest::recall(int preset)
{
    return ofPreset(Command::RecallPreset, preset);
}

LinkRequest LinkRequest::writeWindows(int preset, const QByteArray &windows)
{
    return ofPreset(Command::WriteWindows, preset, windows);
}

LinkRequest LinkRequest::deleteWindows(int preset)
{
    return ofPreset(Command::DeleteWindows, preset);
}

LinkRequest LinkRequest::setWindowSource(int preset, const QByteArray &windowAndInput)
{
    return ofPreset(Command::SetWindowSignal, preset, windowAndInput);
}

LinkRequest LinkRequest::substituteSource(int preset, int window, int input)
{
    return setWindowSource(preset, QByteArray().append(char(window)).append(char(input))).inBackground();
}

LinkRequest LinkRequest::setMainSignal(int entry, int signal)
{
    return ofEntry(Command::SetMainSignal, Command::SignalWait, entry, QByteArray(1, char(signal)));
}

LinkRequest LinkRequest::setPipSignal(int entry, int signal)
{
    return ofEntry(Command::SetPipSignal, Command::SignalWait, entry, QByteArray(1, char(signal)));
}

LinkRequest LinkRequest::setCaptionSignal(int entry, int signal)
{
    return ofEntry(Command::SetCaptionSignal, Command::SignalWait, entry, QByteArray(1, char(signal)));
}

LinkRequest LinkRequest::switchPictureMode(int entry, int currentMode, int group)
{
    LinkRequest request = ofEntry(Command::SwitchPictureMode, Command::ShortWait, entry,
                                  QByteArray(1, char(group)));
    request.entryMode = currentMode;
    return request;
}

LinkRequest LinkRequest::autoAdjust(int entry)
{
    return ofEntry(Command::AutoAdjust, Command::ShortWait, entry);
}

LinkRequest LinkRequest::setRectangles(const QByteArray &main, const QByteArray &pip)
{
    LinkRequest request = plain(Command::SetRectangles, Command::PictureWait);
    request.payload = main;
    request.payload2 = pip;
    return request;
}

LinkRequest LinkRequest::setLight(int input, int value)
{
    return inputValue(Command::SetLight, input, value);
}

LinkRequest LinkRequest::setContrast(int input, int value)
{
    return inputValue(Command::SetContrast, input, value);
}

LinkRequest LinkRequest::setColour(int input, int value)
{
    return inputValue(Command::SetColour, input, value);
}

LinkRequest LinkRequest::setCaptions(const QByteArray &captions)
{
    LinkRequest request = plain(Command::SetCaptions, Command::ShortWait);
    request.payload = captions;
    return request;
}

LinkRequest LinkRequest::writeNetwork(const QByteArray &settings)
{
    LinkRequest request = plain(Command::WriteNetwork, Command::ShortWait);
    request.payload = settings;
    return request;
}

LinkRequest LinkRequest::restoreFactory()
{
    return plain(Command::RestoreFactory, Command::FactoryWait);
}
