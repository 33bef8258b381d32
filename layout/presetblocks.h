#ifndef PRESETBLOCKS_H
#define PRESETBLOCKS_H

#include <QByteArray>
#include <QList>

class DeviceData;

// The device blocks of all 16 stored presets on the record's wall, as the
// full write sends them: for each preset its windows and layers, its source
// rectangles and its trimmed sections.
class PresetBlocks
{
public:
    QList<QByteArray> windows;
    QList<QByteArray> sources;
    QList<QByteArray> channels;

    // False, with nothing built, when the wall is not one the canvas can
    // show or a stored preset cannot be read on it: sent, such a preset
    // would wipe the device's. Only the presets given are built when some
    // are, the others' blocks left empty.
    bool build(const DeviceData &record, const QList<int> &only = {});
};

#endif // PRESETBLOCKS_H
