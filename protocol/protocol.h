#ifndef PROTOCOL_H
#define PROTOCOL_H

#include <QtGlobal>

// Constants of the processor's link protocol, shared by the link worker and
// the device simulator. Each side encodes and decodes frames with its own
// code; only these numbers are common.
namespace Protocol {

// Request frame: 20 01 <length hi> <length lo> 04 <01|FE> AA 01 <code> ... AA 20
constexpr quint8 FrameStart = 0x20;
constexpr quint8 FrameEnd = 0x20;
constexpr quint8 Marker = 0xAA;
constexpr quint8 WriteKind = 0x01;
constexpr quint8 ReadKind = 0xFE;
constexpr int HeaderSize = 9;     // up to and including the command code
constexpr int KindOffset = 5;
constexpr int CodeOffset = 8;
constexpr int ParamOffset = 9;
constexpr int ReadFrameSize = 16;
constexpr int TagSize = 8;
constexpr int TrailerSize = 2;    // AA 20
constexpr int ShortReplySize = 8; // a reply whose byte 2 is 0xFF
constexpr quint8 ShortReplyMark = 0xFF;

enum Code : quint8 {
    ReadInputCards = 0x11,
    ReadVersions = 0x13,
    ReadNetwork = 0x14,
    ReadStatus = 0x19,
    ReadPresetWindows = 0x1A,
    ReadPresetBlocks = 0x1B,
    ReadSignalFlags = 0x1C,
    WriteWall = 0x41,
    WriteWindows = 0x42,
    DeleteWindows = 0x43,
    WritePreset = 0x44,
    WriteChannels = 0x45,
    RestoreFactory = 0x47,
    SetWindowSignal = 0x48,
    RecallPreset = 0x49,
    WritePresetLayers = 0x4A,
    WriteNetwork = 0x4B,
    SetMainSignal = 0x80,
    SwitchGroup1 = 0x81,
    SetPipSignal = 0x82,
    SwitchGroup2 = 0x83,
    SetCaptionSignal = 0x84,
    SetRectA = 0x85,
    SetRectB = 0x86,
    SetLight = 0x87,
    SetContrast = 0x88,
    SetColour = 0x89,
    SetCaptions = 0x8A,
    AutoAdjust = 0x8B,
};

} // namespace Protocol

#endif // PROTOCOL_H
