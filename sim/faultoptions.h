#ifndef FAULTOPTIONS_H
#define FAULTOPTIONS_H

#include <QtGlobal>

// Faults the simulator injects into its replies. Requests are counted from
// 1 on each connection; "every N" applies to requests N, 2N, 3N ...; 0
// turns a fault off. The seed drives every random choice (noise and overrun
// bytes, split points), so a run can be repeated.
struct FaultOptions
{
    int dropEvery = 0;          // no reply to every Nth request
    int delayMs = 0;            // every reply waits this long before it starts
    int lateRequest = 0;        // the reply to request N waits lateMs more
    int lateMs = 0;
    int slowCode = 0;           // replies to requests with this code wait slowMs more
    int slowMs = 0;
    // The first request with this code is answered only outOfTurnMs later,
    // while the replies to the requests after it go out as usual: its answer
    // comes in late, among theirs, even when its code is muted.
    int outOfTurnCode = 0;
    int outOfTurnMs = 0;
    int muteCode = 0;           // no reply to any request with this command code
    bool splitReplies = false;  // replies go out in two to four random pieces
    int noiseEvery = 0;         // 1 to 8 random bytes precede every Nth reply
    bool noiseStarts = false;   // each burst holds a 0x20, a false start of a reply
    int overrunEvery = 0;       // every Nth reply runs 1 to 8 bytes past its length
    int hangUpAfter = 0;        // a TCP connection is closed after N replies
    int unplugAfter = 0;        // the terminal is closed after N replies
    quint32 seed = 1;
};

#endif // FAULTOPTIONS_H
