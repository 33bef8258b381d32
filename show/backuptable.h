#ifndef BACKUPTABLE_H
#define BACKUPTABLE_H

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

// The backup inputs of a station: for an input of a processor, up to three
// inputs that stand in for it, in order, while it has no signal, and how
// the main input comes back. Inputs are channel codes; processors count
// from 1, as the operator numbers them.
//
// Kept as JSON, an array of
//   {"processor": 1, "input": 5, "backups": [6, 7], "return": "auto", "stable": 10}
// read strictly: a file edited by hand or sent by a client names the field
// it got wrong.
class BackupTable
{
public:
    static constexpr int MaxBackups = 3;
    static constexpr int MaxProcessors = 8; // a station's
    static constexpr int DefaultStableSeconds = 10;
    static constexpr int MaxStableSeconds = 3600;

    enum class Return {
        Auto,  // the main input returns once its signal has been stable
        Manual // the operator brings it back
    };

    struct Entry
    {
        int processor = 1;
        int input = 0;
        QList<int> backups;
        Return returnMode = Return::Auto;
        int stableSeconds = DefaultStableSeconds;

        bool operator==(const Entry &other) const;
    };

    BackupTable() = default;
    explicit BackupTable(const QList<Entry> &entries) : m_entries(entries) {}

    // The entries, or nullopt with the fault in error ("[1].backups: ...").
    static std::optional<QList<Entry>> listFromJson(const QByteArray &json, QString *error);
    static QByteArray listToJson(const QList<Entry> &entries);
    // The same checks on entries built by a dialog; empty when they hold.
    static QString problem(const QList<Entry> &entries);

    const QList<Entry> &entries() const { return m_entries; }
    // The entry of the input, or null when it has no backups.
    const Entry *find(int processor, int input) const;
    QList<Entry> ofProcessor(int processor) const;

private:
    QList<Entry> m_entries;
};

#endif // BACKUPTABLE_H
