#include "remotestation.h"

QList<RemoteStation::SequenceStatus> RemoteStation::sequences() const
{
    return {};
}

QString RemoteStation::storeSequence(const QJsonObject &)
{
    return QStringLiteral("this station keeps no sequences");
}

QString RemoteStation::controlSequence(int, SequenceCommand)
{
    return QStringLiteral("this station keeps no sequences");
}

QList<RemoteStation::JournalEntry> RemoteStation::queryJournal(const JournalFilter &) const
{
    return {};
}
