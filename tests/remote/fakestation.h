#ifndef FAKESTATION_H
#define FAKESTATION_H

#include "fakeactions.h"

#include <remotestation.h>

#include <QJsonArray>
#include <QJsonObject>
#include <QPair>

// A station of two processors and a show without the window: sequences
// follow the commands they are given unless a refusal is set, a definition
// is judged by its first step's dwell only, and the journal hands out what
// the test put in, noting the filter it was asked with.
class FakeStation : public RemoteStation
{
public:
    FakeActions main;
    FakeActions side;
    QList<SequenceStatus> shown{{QStringLiteral("Walk-in"), SequenceState::Stopped, -1, 4, 0, true},
                                {QStringLiteral("Interval"), SequenceState::Stopped, -1, 2, 0, false}};
    QList<QJsonObject> stored;
    QList<QPair<int, SequenceCommand>> commands;
    QString refusal;
    QList<JournalEntry> journal;
    mutable QList<JournalFilter> filters;

    QList<RemoteActions *> processors() const override { return m_processors; }
    QStringList names() const override { return {QStringLiteral("Main wall"), QStringLiteral("Side wall")}; }
    int selected() const override { return 0; }
    QList<Look> looks() const override { return {}; }
    void recallLook(int, const QString &, const Recalled &done) override { done({}); }
    QString storeLook(const Look &) override { return QString(); }

    QList<SequenceStatus> sequences() const override { return shown; }
    QString storeSequence(const QJsonObject &definition) override
    {
        const double dwell = definition.value("steps").toArray().at(0).toObject().value("dwell").toDouble();
        if (dwell < 1)
            return QStringLiteral("step 1: dwell must be from 1 s to 24 h");
        stored << definition;
        return QString();
    }
    QString controlSequence(int sequence, SequenceCommand command) override
    {
        if (!refusal.isEmpty())
            return refusal;
        commands << qMakePair(sequence, command);
        SequenceStatus &status = shown[sequence];
        status.state = command == SequenceCommand::Stop ? SequenceState::Stopped
            : command == SequenceCommand::Pause         ? SequenceState::Paused
                                                        : SequenceState::Playing;
        status.step = status.state == SequenceState::Stopped ? -1 : 0;
        status.timeLeft = status.state == SequenceState::Stopped ? 0 : 10.46;
        return QString();
    }
    QList<JournalEntry> queryJournal(const JournalFilter &filter) const override
    {
        filters << filter;
        return journal.mid(0, filter.limit);
    }

private:
    QList<RemoteActions *> m_processors{&main, &side};
};

#endif // FAKESTATION_H
