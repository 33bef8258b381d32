// The journal under load, from the GUI thread's side:
// (a) 100 entries a second for 60 s (each settles the one before): the
//     longest stall of the thread's event loop (target under 5 ms) and the
//     longest record() call;
// (b) 100,000 entries over 60 days, then typical queries, newest 1000
//     first: their time, the median of 5 runs (target under 200 ms).
// Before (a), 10 s of the same event loop with no journal give the
// machine's own stalls, and the load average is printed before and after:
// on a shared machine the scheduler weighs more than the journal.
// Usage: journalbench [seconds of (a), default 60]

#include "stallmeter.h"

#include <journal.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <functional>

namespace {

constexpr int RatePerSecond = 100;
constexpr int Filled = 100000;
constexpr int FillDays = 60;
constexpr int Runs = 5;
constexpr int BaselineSeconds = 10;

QTextStream out(stdout);

JournalEntry made(int i, const QDateTime &time)
{
    static const JournalEntry::Who whos[] = {JournalEntry::Who::Operator, JournalEntry::Who::Remote,
                                             JournalEntry::Who::Schedule, JournalEntry::Who::Sequence};
    static const char *const kinds[] = {"recall", "look", "take", "write", "source"};
    JournalEntry entry;
    entry.time = time;
    entry.who = whos[i % 4];
    entry.whoDetail = entry.who == JournalEntry::Who::Remote ? QStringLiteral("10.0.%1.%2 console %3")
                                                                   .arg(i % 7)
                                                                   .arg(i % 250)
                                                                   .arg(i % 13)
                                                             : QStringLiteral("Morning %1").arg(i % 5);
    entry.processor = i % 8 + 1;
    entry.processorName = QStringLiteral("Processor %1").arg(i % 8 + 1);
    entry.kind = QLatin1String(kinds[i % 5]);
    entry.what = QStringLiteral("%1 M%2").arg(entry.kind).arg(i % 16 + 1);
    entry.result = JournalEntry::Result::Confirmed;
    return entry;
}

QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).section(QLatin1Char(' '), 0, 2)
                                          : QStringLiteral("unknown");
}

void baseline()
{
    StallMeter meter;
    QTimer::singleShot(BaselineSeconds * 1000, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
    out << QStringLiteral("    with no journal, %1 s: longest stall %2 ms\n").arg(BaselineSeconds).arg(meter.longest());
}

void steadyLoad(const QString &path, int seconds)
{
    Journal journal(path);
    if (!journal.open())
        return;
    StallMeter meter;
    QElapsedTimer call;
    qint64 longestCallNs = 0;
    qint64 previous = 0;
    int recorded = 0;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    QObject::connect(&tick, &QTimer::timeout, &journal, [&] {
        call.start();
        JournalEntry entry = made(recorded, {});
        entry.result = JournalEntry::Result::Pending;
        journal.settle(previous, JournalEntry::Result::Confirmed);
        previous = journal.record(entry);
        longestCallNs = std::max(longestCallNs, call.nsecsElapsed());
        ++recorded;
    });
    tick.start(1000 / RatePerSecond);
    QTimer::singleShot(seconds * 1000, &journal, [] { QCoreApplication::quit(); });
    meter.restart();
    QCoreApplication::exec();
    tick.stop();
    out << QStringLiteral("(a) %1 entries a second for %2 s: %3 recorded and settled; longest stall %4 ms, "
                          "longest record and settle %5 ms\n")
               .arg(RatePerSecond)
               .arg(seconds)
               .arg(recorded)
               .arg(meter.longest())
               .arg(double(longestCallNs) / 1e6, 0, 'f', 3);
}

void fill(const QString &path)
{
    Journal journal(path);
    if (!journal.open())
        return;
    QElapsedTimer clock;
    clock.start();
    const QDateTime start = QDateTime::currentDateTimeUtc().addDays(-FillDays);
    const qint64 stepMs = qint64(FillDays) * 24 * 3600 * 1000 / Filled;
    for (int i = 0; i < Filled; ++i) {
        journal.record(made(i, start.addMSecs(i * stepMs)));
        if (i % 5000 == 4999)
            journal.flush();
    }
    journal.flush();
    out << QStringLiteral("(b) %1 entries over %2 days written in %3 s\n")
               .arg(Filled)
               .arg(FillDays)
               .arg(double(clock.elapsed()) / 1000, 0, 'f', 1);
}

void timeQuery(Journal &journal, const char *name, const std::function<void(JournalQuery &)> &set)
{
    JournalQuery query;
    set(query);
    QList<qint64> times;
    int rows = 0;
    for (int run = 0; run < Runs; ++run) {
        QElapsedTimer clock;
        clock.start();
        rows = int(journal.query(query).size());
        times << clock.nsecsElapsed();
    }
    std::sort(times.begin(), times.end());
    out << QStringLiteral("    %1: %2 rows, median %3 ms, slowest %4 ms\n")
               .arg(QLatin1String(name), -28)
               .arg(rows)
               .arg(double(times.at(Runs / 2)) / 1e6, 0, 'f', 1)
               .arg(double(times.last()) / 1e6, 0, 'f', 1);
}

void queries(const QString &path)
{
    QElapsedTimer clock;
    clock.start();
    Journal journal(path);
    if (!journal.open())
        return;
    out << QStringLiteral("    open (with its check of the file): %1 ms\n").arg(clock.elapsed());
    const QDateTime middle = QDateTime::currentDateTimeUtc().addDays(-FillDays / 2);
    timeQuery(journal, "all, newest 1000", [](JournalQuery &) {});
    timeQuery(journal, "processor 3", [](JournalQuery &q) { q.processor = 3; });
    timeQuery(journal, "remote clients", [](JournalQuery &q) { q.who = JournalEntry::Who::Remote; });
    timeQuery(journal, "who contains \"console 7\"", [](JournalQuery &q) { q.whoText = QStringLiteral("console 7"); });
    timeQuery(journal, "one day", [middle](JournalQuery &q) {
        q.from = middle;
        q.to = middle.addDays(1);
    });
    timeQuery(journal, "processor 3, takes, one day", [middle](JournalQuery &q) {
        q.processor = 3;
        q.kind = QStringLiteral("take");
        q.from = middle;
        q.to = middle.addDays(1);
    });
    timeQuery(journal, "who contains \"nobody\"", [](JournalQuery &q) { q.whoText = QStringLiteral("nobody"); });
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : 60;
    QTemporaryDir dir;
    out << QStringLiteral("load average %1\n").arg(loadAverage());
    baseline();
    steadyLoad(dir.filePath(QStringLiteral("load.db")), seconds);
    const QString filled = dir.filePath(QStringLiteral("filled.db"));
    fill(filled);
    queries(filled);
    out << QStringLiteral("load average %1\n").arg(loadAverage());
    return 0;
}
