#ifndef MESSAGECODE_H
#define MESSAGECODE_H

// The messages the operator is shown, by their code in the two message
// tables (send_explain_end); 0 is the title of every message box.
namespace Message {

enum Code : int {
    Title = 0,
    Succeeded = 1,
    OpeningFailed = 2,
    NotRecognised = 3,
    ConnectFirst = 4,
    NotConnected = 5,    // a send failed, reason 0
    SendFailed = 6,      // reason 1
    SendTimeout = 7,     // reason 2
    NoScreen = 8,        // the canvas's code 1
    ScreenFull = 9,      // the canvas's code 2
    RestartDevice = 10,
    CannotSave = 11,
    NetworkUnconfirmed = 12, // the network settings write went unanswered
    OnAirNotBlind = 13,      // a preset button while Blind is on
    NoWallKnown = 14,        // Work Offline before any wall was known
    Count = 15,
};

// A canvas's message is counted from CanvasBase.
constexpr int CanvasBase = 7;

} // namespace Message

#endif // MESSAGECODE_H
