#ifndef LINKREQUEST_H
#define LINKREQUEST_H

#include <commandtype.h>

#include <QByteArray>

// A command for the device as a value: what it is, the preset it changes
// or recalls, what it carries and how long its wait page may take. Built
// by the named functions below, so that no command that changes a preset
// takes it from anywhere but its caller.
struct LinkRequest
{
    int type = 0;
    int preset = -1; // the preset it writes or recalls
    QByteArray payload;
    int timeoutMs = Command::ShortWait;

    static LinkRequest recall(int preset);
    // The windows of the preset, as the canvas encodes them.
    static LinkRequest writeWindows(int preset, const QByteArray &windows);
    static LinkRequest deleteWindows(int preset);
    // One window's source: window number and input code.
    static LinkRequest setWindowSource(int preset, const QByteArray &windowAndInput);
};

#endif // LINKREQUEST_H
