#ifndef SEQUENCESTEP_H
#define SEQUENCESTEP_H

#include <QJsonObject>
#include <QString>

#include <optional>

// One step of a sequence: a processor's preset or a look, held for a dwell.
// The processor and the preset count from 0 here and from 1 in the file,
// as in the looks' file and the remote control (M1 is preset 1 there). The file form is
//   {"processor": 1, "preset": 3, "dwell": 10.5}  or  {"look": "Opening", "dwell": 60}
// with the dwell in seconds, which may have a fraction (kept to the ms).
struct SequenceStep
{
    static constexpr int MaxProcessors = 8;
    static constexpr int MaxLookName = 64;
    static constexpr qint64 MinDwellMs = 1000;
    static constexpr qint64 MaxDwellMs = 24 * 3600 * 1000;

    int processor = 0; // a preset step's
    int preset = 0;
    QString look;      // a look step's; empty for a preset step
    qint64 dwellMs = MinDwellMs;

    static SequenceStep recall(int processor, int preset, qint64 dwellMs);
    static SequenceStep recallLook(const QString &look, qint64 dwellMs);

    bool isLook() const { return !look.isEmpty(); }
    bool operator==(const SequenceStep &other) const;
    bool operator!=(const SequenceStep &other) const { return !(*this == other); }

    // Why the step cannot be played, each fault naming its field after
    // field ("steps[2]"); empty when it can.
    QString check(const QString &field) const;
    QJsonObject toJson() const;
    // The step of the file's object; types are checked here, ranges by
    // check(), which the caller runs.
    static std::optional<SequenceStep> fromJson(const QJsonValue &value, const QString &field, QString *error);
};

#endif // SEQUENCESTEP_H
