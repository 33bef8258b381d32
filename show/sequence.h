#ifndef SEQUENCE_H
#define SEQUENCE_H

#include "sequencestep.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QString>

#include <optional>

// Steps played one after the other, each held for its dwell, once or in a
// loop. The file form:
//
//   {"name": "Walk-in", "loop": true, "onFailure": "stop",
//    "steps": [{"processor": 1, "preset": 3, "dwell": 10.5},
//              {"look": "Opening", "dwell": 60}]}
//
// "loop" (false) and "onFailure" ("stop" or "skip"; "stop") may be left
// out. Files are anyone's: everything is checked, and a fault is told
// with the field it is in ("steps[2].dwell: 1 to 86400 seconds").
struct Sequence
{
    enum class OnFailure { Stop, Skip };

    static constexpr int MaxName = 64;
    static constexpr int MaxSteps = 100;
    // Sequences of a station.
    static constexpr int MaxCount = 64;

    QString name;
    QList<SequenceStep> steps;
    bool loop = false;
    OnFailure onFailure = OnFailure::Stop;

    bool operator==(const Sequence &other) const;
    bool operator!=(const Sequence &other) const { return !(*this == other); }

    // Why the sequence cannot be played; empty when it can.
    QString check() const;
    // Whether a name can be a sequence's (1 to MaxName characters, none
    // of them a control character, not blank).
    static bool isValidName(const QString &name);
    // Names are told apart without regard to case.
    bool isNamed(const QString &other) const { return name.compare(other, Qt::CaseInsensitive) == 0; }

    QJsonObject toJson() const;
    static std::optional<Sequence> fromJson(const QJsonObject &object, QString *error);

    // A station's sequences: at most MaxCount, names unique. Faults name
    // the entry: "sequences[3].steps[0].look: ...".
    static QJsonArray listToJson(const QList<Sequence> &sequences);
    static std::optional<QList<Sequence>> listFromJson(const QJsonArray &array, QString *error);
    // Why the sequences cannot be kept together; empty when they can.
    static QString checkList(const QList<Sequence> &sequences);
};

#endif // SEQUENCE_H
