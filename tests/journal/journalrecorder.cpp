// Records entries into a journal, settles them, waits until they are in
// the file and says so on its output; then either waits to be killed
// ("kill") or records one more and ends normally ("close").

#include "recordedentries.h"

#include <journal.h>

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    const int count = args.at(3).toInt();
    Journal journal(args.at(1));
    if (!journal.open())
        return 3;
    QList<qint64> ids;
    for (int i = 0; i < count; ++i) {
        ids << journal.record(RecordedEntries::made(i));
        if (RecordedEntries::result(i) == JournalEntry::Result::Confirmed)
            journal.settle(ids.last(), JournalEntry::Result::Confirmed);
    }
    if (!journal.flush())
        return 4;
    for (int i = 0; i < count; ++i) {
        const JournalEntry::Result result = RecordedEntries::result(i);
        if (result != JournalEntry::Result::Confirmed && result != JournalEntry::Result::Pending)
            journal.settle(ids.at(i), result, QStringLiteral("settled %1").arg(i));
    }
    if (!journal.flush())
        return 4;
    std::printf("flushed\n");
    std::fflush(stdout);
    if (args.at(2) == QLatin1String("kill"))
        return QCoreApplication::exec();
    journal.record(RecordedEntries::made(count));
    return 0;
}
