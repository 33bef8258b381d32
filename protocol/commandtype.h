#ifndef COMMANDTYPE_H
#define COMMANDTYPE_H

// The command types of the requests callers post to the link: 1 to 3 open
// and close the link, the others build request frames (docs/protocol.md).
namespace Command {

enum Type : int {
    Connect = 1,
    Disconnect = 2,
    Reconnect = 3, // opens the link as Connect does, with no wait page
    ReadVersions = 10,
    ReadSignalFlags = 12,
    ReadNetwork = 14,
    WriteNetwork = 15,
    WriteWall = 41,
    WriteWindows = 42,
    DeleteWindows = 43,
    WriteAllPresets = 44,
    WriteChannels = 45,
    RestoreFactory = 47,
    SetWindowSignal = 48,
    RecallPreset = 49,
    SetMainSignal = 80,
    SwitchPictureMode = 81,
    SetPipSignal = 82,
    SetCaptionSignal = 84,
    SetRectangles = 85,
    SetLight = 87,
    SetContrast = 88,
    SetColour = 89,
    SetCaptions = 90,
    AutoAdjust = 91,
    ConnectionRead = 190,
    ReadAllPresets = 191,
    ReadInputCards = 193,
    VerifyRead = 194,
};

// The time-outs callers announce for the wait page, in milliseconds.
enum Timeout : int {
    ShortWait = 5000,
    PictureWait = 8000,
    SignalWait = 10000,
    ReadAllWait = 70000,
    WallWait = 80000,
    FactoryWait = 150000,
    WriteAllWait = 250000,
};

} // namespace Command

#endif // COMMANDTYPE_H
