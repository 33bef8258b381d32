#ifndef WRITEHANDLER_H
#define WRITEHANDLER_H

#include <QByteArray>

class DeviceModel;
struct InputEntry;
struct NetworkSettings;
struct Preset;
struct WallLayout;

// Decodes write requests into model changes. Offsets count from byte 0 of
// the request: 20 01 <length> 04 01 AA 01 <code>, parameters from 9, the
// 8-byte tag, AA 20.
class WriteHandler
{
public:
    // False when the code is unknown or the request too short for it, or
    // when it names a preset or entry that does not exist.
    static bool apply(const QByteArray &request, DeviceModel *model);

private:
    static int requiredLength(quint8 code);
    static void writeNetwork(const QByteArray &request, NetworkSettings &network);
    static void writeWall(const QByteArray &request, WallLayout &wall);
    static bool writePreset(const QByteArray &request, DeviceModel *model);
    static void writeWindows(const QByteArray &request, Preset &preset);
    static bool writeEntry(const QByteArray &request, DeviceModel *model);
    static void setEntry(quint8 code, const QByteArray &request, InputEntry &entry);
};

#endif // WRITEHANDLER_H
