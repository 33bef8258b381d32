#ifndef LINKREQUEST_H
#define LINKREQUEST_H

#include "framebuilder.h"

#include <commandtype.h>

#include <QByteArray>
#include <QList>

// A command for the device as a value: what it is, the preset or input
// entry it concerns, what it carries and how long its wait page may take.
// Built by the named functions below, one per command, so that the worker
// builds its frames from this value alone and nothing a caller staged
// elsewhere can leak into them.
struct LinkRequest
{
    // One preset's blocks for a full write, as the canvas encodes them.
    struct Preset
    {
        int preset = 0;
        QByteArray windows; // windows and layers
        QByteArray sources;
        QByteArray channels;
    };

    int type = 0;
    int preset = -1; // the preset it writes or recalls
    int entry = 0;   // the input entry it sets
    QByteArray payload;
    QByteArray payload2;   // the second frame's (the picture rectangles)
    int entryMode = 0;     // the entry's picture mode as the record holds it
    FrameBuilder::Wall wall;
    QList<Preset> presets;
    int timeoutMs = Command::ShortWait;
    // The program's own, not the operator's: it opens no wait page, a
    // failure says nothing to the operator, it is not counted as work
    // under way, and the marks of the presets do not follow it. It goes
    // once; a silent device is the operator's commands' to find.
    bool background = false;

    // This request, as the program's own.
    LinkRequest inBackground() const;

    // Reads.
    static LinkRequest connectionRead();
    static LinkRequest verifyRead();
    static LinkRequest readVersions();
    static LinkRequest readSignalFlags();
    static LinkRequest readNetwork();
    static LinkRequest readInputCards();

    // The wall and the presets.
    static LinkRequest writeWall(const FrameBuilder::Wall &wall);
    static LinkRequest writePresets(const QList<Preset> &presets);
    static LinkRequest recall(int preset);
    // The windows of the preset, as the canvas encodes them.
    static LinkRequest writeWindows(int preset, const QByteArray &windows);
    static LinkRequest deleteWindows(int preset);
    // One window's source: window number and input code.
    static LinkRequest setWindowSource(int preset, const QByteArray &windowAndInput);
    // The device shows the window from another input than the preset
    // stores (a backup): the host's preset keeps its own.
    static LinkRequest substituteSource(int preset, int window, int input);

    // The input entries: signals, picture mode and rectangles.
    static LinkRequest setMainSignal(int entry, int signal);
    static LinkRequest setPipSignal(int entry, int signal);
    static LinkRequest setCaptionSignal(int entry, int signal);
    static LinkRequest switchPictureMode(int entry, int currentMode, int group);
    static LinkRequest autoAdjust(int entry);
    // Both rectangles, each with the entry in its first byte.
    static LinkRequest setRectangles(const QByteArray &main, const QByteArray &pip);
    // The input number as given, then the value.
    static LinkRequest setLight(int input, int value);
    static LinkRequest setContrast(int input, int value);
    static LinkRequest setColour(int input, int value);
    // Entry, side, red, green, blue.
    static LinkRequest setCaptions(const QByteArray &captions);

    // The device.
    static LinkRequest writeNetwork(const QByteArray &settings);
    static LinkRequest restoreFactory();
};

#endif // LINKREQUEST_H
