#ifndef SHOWNAMES_H
#define SHOWNAMES_H

#include <QList>
#include <QStringList>

class QComboBox;

// The names the show's dialogs offer to choose from, as the caller knows
// them: the station's processors (the first one's name first), each one's
// preset names (M1 first; missing or empty ones shown as the bare M1..M16),
// the looks and the sequences.
struct ShowNames
{
    QStringList processors;
    QList<QStringList> presets;
    QStringList looks;
    QStringList sequences;

    // Items whose data is the processor from 0, current (from 0) chosen
    // and kept even when the caller names fewer processors.
    void fillProcessors(QComboBox *box, int current) const;
    // Items whose data is the preset from 0, for the processor from 0.
    void fillPresets(QComboBox *box, int processor) const;
    // The names, plus current when it is not one of them, so that a name
    // the station has lost is kept rather than silently replaced.
    static void fillNames(QComboBox *box, const QStringList &names, const QString &current);
};

#endif // SHOWNAMES_H
