#ifndef RECORDEDENTRIES_H
#define RECORDEDENTRIES_H

#include <journalentry.h>

// The entries the recorder helper writes and the test looks for: each one
// of a processor, a source and a result of its own.
namespace RecordedEntries {

inline JournalEntry made(int i)
{
    JournalEntry entry;
    entry.who = i % 3 == 0 ? JournalEntry::Who::Remote : JournalEntry::Who::Operator;
    entry.whoDetail = i % 3 == 0 ? QStringLiteral("10.0.0.%1 console").arg(i % 250) : QString();
    entry.processor = i % 8 + 1;
    entry.processorName = QStringLiteral("Wall %1").arg(i % 8 + 1);
    entry.kind = QStringLiteral("recall");
    entry.what = QStringLiteral("recall M%1").arg(i);
    return entry;
}

// Settled before the first flush (while waiting in memory), after it (in
// the file), or never.
inline JournalEntry::Result result(int i)
{
    static const JournalEntry::Result results[] = {JournalEntry::Result::Confirmed, JournalEntry::Result::Failed,
                                                   JournalEntry::Result::GivenUp, JournalEntry::Result::Pending};
    return results[i % 4];
}

} // namespace RecordedEntries

#endif // RECORDEDENTRIES_H
