#ifndef KNOWNDEVICECASE_H
#define KNOWNDEVICECASE_H

#include "linksimcase.h"

#include <devicemodel.h>

#include <QStringList>

#include <array>

class DeviceData;

// A device holding known windows, wall, current preset and tag, read by
// the link as the synchronise action reads it, and the host's record
// compared with it line by line.
class KnownDeviceCase : public LinkSimCase
{
    Q_OBJECT

protected slots:
    void init();

protected:
    static std::array<Preset, DeviceModel::PresetCount> presetsWithWindows();
    // Count, layers and windows of each preset.
    static QStringList presetLines(const std::array<Preset, DeviceModel::PresetCount> &presets);
    static QStringList presetLines(const DeviceData &data);
    // Number, presence, card type, main signal and signal flags of each entry.
    static QStringList entryLines(const DeviceModel &model);
    static QStringList entryLines(const DeviceData &data);

    void readAll();
    void compareRecord();
};

#endif // KNOWNDEVICECASE_H
