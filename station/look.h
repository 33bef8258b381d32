#ifndef LOOK_H
#define LOOK_H

#include <QList>
#include <QString>

// A named set of presets, one per processor at most, recalled together.
// Processors and presets count from 0 here, from 1 where the operator and
// the files see them.
struct Look
{
    struct Entry
    {
        int processor = 0;
        int preset = 0;
        bool operator==(const Entry &other) const
        {
            return processor == other.processor && preset == other.preset;
        }
    };

    QString name;
    QList<Entry> entries;

    bool operator==(const Look &other) const { return name == other.name && entries == other.entries; }
    // The preset the look gives the processor, -1 none.
    int presetOf(int processor) const;
};

#endif // LOOK_H
