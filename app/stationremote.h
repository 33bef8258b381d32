#ifndef STATIONREMOTE_H
#define STATIONREMOTE_H

#include <remotestation.h>

class JournalRecorder;
class LookRecall;
class LooksBar;
class StationShow;

// The station as the remote control sees it: each processor's actions and
// name, the one the window shows, and the looks of the looks bar, which
// recalls and keeps them as the operator's own commands do.
class StationRemote : public RemoteStation
{
    Q_OBJECT

public:
    StationRemote(LooksBar *looks, StationShow *show, JournalRecorder *journal, QObject *parent = nullptr);

    void setProcessors(const QList<RemoteActions *> &processors, const QStringList &names);
    void setSelected(int index) { m_selected = index; }

    QList<RemoteActions *> processors() const override { return m_processors; }
    QStringList names() const override { return m_names; }
    int selected() const override { return m_selected; }
    QList<Look> looks() const override;
    void recallLook(int look, const QString &caller, const Recalled &done) override;
    QString storeLook(const Look &look) override;
    QList<SequenceStatus> sequences() const override;
    QString storeSequence(const QJsonObject &definition) override;
    QString controlSequence(int sequence, SequenceCommand command) override;
    QList<JournalEntry> queryJournal(const JournalFilter &filter) const override;

private:
    static QList<Result> results(const LookRecall *recall);

    LooksBar *m_looks;
    StationShow *m_show;
    JournalRecorder *m_journal;
    QList<RemoteActions *> m_processors;
    QStringList m_names;
    int m_selected = 0;
};

#endif // STATIONREMOTE_H
