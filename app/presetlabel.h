#ifndef PRESETLABEL_H
#define PRESETLABEL_H

#include <devicedata.h>

#include <QString>

// A preset as the station tells of it: "M3", with its name when it has
// one ("M3 Opening"); most presets are never named.
inline QString presetLabel(const DeviceData &record, int preset)
{
    const QString number = QStringLiteral("M%1").arg(preset + 1);
    const QString name = record.modelName(preset);
    return name.isEmpty() ? number : number + QLatin1Char(' ') + name;
}

#endif // PRESETLABEL_H
