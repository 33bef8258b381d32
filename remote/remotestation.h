#ifndef REMOTESTATION_H
#define REMOTESTATION_H

#include "remoteactions.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

// The processors the remote control serves and the looks that switch them
// together, as the server sees them: never the window's widgets.
// Processors and presets count from 0 here. Called in the GUI thread.
class RemoteStation : public QObject
{
    Q_OBJECT

public:
    struct Entry
    {
        int processor = 0;
        int preset = 0;
    };
    struct Look
    {
        QString name;
        QList<Entry> entries;
    };
    // What became of one processor's preset in a look's recall:
    // "confirmed", "failed", "not linked" or "no answer".
    struct Result
    {
        int processor = 0;
        int preset = 0;
        QString result;
    };
    using Recalled = std::function<void(const QList<Result> &results)>;

    using QObject::QObject;

    // In order; their number is fixed for the station's life.
    virtual QList<RemoteActions *> processors() const = 0;
    virtual QStringList names() const = 0;
    // The processor the window shows.
    virtual int selected() const = 0;
    virtual QList<Look> looks() const = 0;
    // done follows once every processor has answered or the look's wait
    // ended, at once when none is linked.
    virtual void recallLook(int look, const Recalled &done) = 0;
    // Keeps the look, of the presets on air when it names none; the reason
    // when it cannot be kept, empty when it was.
    virtual QString storeLook(const Look &look) = 0;

signals:
    // A look's recall ended, whoever asked it (RemoteActions::Origin).
    void lookRecalled(const QString &look, int origin, const QList<RemoteStation::Result> &results);
};

#endif // REMOTESTATION_H
