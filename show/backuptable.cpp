#include "backuptable.h"

#include <devicelimits.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>

#include <cmath>

namespace {

constexpr qsizetype MaxJsonBytes = qsizetype(256) * 1024;

const QString Processor = QStringLiteral("processor");
const QString Input = QStringLiteral("input");
const QString Backups = QStringLiteral("backups");
const QString ReturnKey = QStringLiteral("return");
const QString Stable = QStringLiteral("stable");

// Reads one entry; the fault names the field, below the entry's place.
class EntryReader
{
public:
    EntryReader(const QJsonObject &object, QString *error)
        : m_object(object)
        , m_error(error)
    {
    }

    std::optional<BackupTable::Entry> read()
    {
        for (auto it = m_object.begin(); it != m_object.end(); ++it) {
            if (!QStringList{Processor, Input, Backups, ReturnKey, Stable}.contains(it.key())) {
                fail(it.key(), QStringLiteral("unknown field"));
                return std::nullopt;
            }
        }
        BackupTable::Entry entry;
        if (!integer(Processor, 1, BackupTable::MaxProcessors, true, &entry.processor)
            || !integer(Input, 0, Limits::LastInputCode, true, &entry.input) || !backups(&entry)
            || !returnMode(&entry)
            || !integer(Stable, 1, BackupTable::MaxStableSeconds, false, &entry.stableSeconds))
            return std::nullopt;
        return entry;
    }

private:
    bool fail(const QString &field, const QString &why)
    {
        *m_error = field + QStringLiteral(": ") + why;
        return false;
    }

    static bool isInteger(const QJsonValue &value, int low, int high)
    {
        const double number = value.toDouble(-1.0);
        return value.isDouble() && std::floor(number) == number && number >= low && number <= high;
    }

    bool integer(const QString &field, int low, int high, bool required, int *out)
    {
        const QJsonValue value = m_object.value(field);
        if (value.isUndefined() && !required)
            return true;
        if (value.isUndefined())
            return fail(field, QStringLiteral("missing"));
        if (!isInteger(value, low, high))
            return fail(field, QStringLiteral("not a whole number from %1 to %2").arg(low).arg(high));
        *out = value.toInt();
        return true;
    }

    bool backups(BackupTable::Entry *entry)
    {
        const QJsonValue value = m_object.value(Backups);
        if (!value.isArray())
            return fail(Backups, QStringLiteral("missing or not an array"));
        const QJsonArray list = value.toArray();
        if (list.isEmpty() || list.size() > BackupTable::MaxBackups)
            return fail(Backups, QStringLiteral("1 to %1 inputs").arg(BackupTable::MaxBackups));
        for (int i = 0; i < list.size(); ++i) {
            const QString field = QStringLiteral("%1[%2]").arg(Backups).arg(i);
            if (!isInteger(list.at(i), 0, Limits::LastInputCode))
                return fail(field, QStringLiteral("not an input from 0 to %1").arg(Limits::LastInputCode));
            const int input = list.at(i).toInt();
            if (input == entry->input)
                return fail(field, QStringLiteral("the input itself"));
            if (entry->backups.contains(input))
                return fail(field, QStringLiteral("named twice"));
            entry->backups << input;
        }
        return true;
    }

    bool returnMode(BackupTable::Entry *entry)
    {
        const QJsonValue value = m_object.value(ReturnKey);
        if (value.isUndefined())
            return true;
        if (value == QJsonValue(QStringLiteral("auto")))
            entry->returnMode = BackupTable::Return::Auto;
        else if (value == QJsonValue(QStringLiteral("manual")))
            entry->returnMode = BackupTable::Return::Manual;
        else
            return fail(ReturnKey, QStringLiteral("neither \"auto\" nor \"manual\""));
        return true;
    }

    const QJsonObject &m_object;
    QString *m_error;
};

QJsonObject toJson(const BackupTable::Entry &entry)
{
    QJsonArray backups;
    for (int input : entry.backups)
        backups.append(input);
    return {{Processor, entry.processor},
            {Input, entry.input},
            {Backups, backups},
            {ReturnKey, entry.returnMode == BackupTable::Return::Auto ? QStringLiteral("auto")
                                                                       : QStringLiteral("manual")},
            {Stable, entry.stableSeconds}};
}

} // namespace

bool BackupTable::Entry::operator==(const Entry &other) const
{
    return processor == other.processor && input == other.input && backups == other.backups
        && returnMode == other.returnMode && stableSeconds == other.stableSeconds;
}

std::optional<QList<BackupTable::Entry>> BackupTable::listFromJson(const QByteArray &json, QString *error)
{
    QString unused;
    QString &fault = error ? *error : unused;
    if (json.size() > MaxJsonBytes) {
        fault = QStringLiteral("more than %1 bytes").arg(MaxJsonBytes);
        return std::nullopt;
    }
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(json, &parse);
    if (parse.error != QJsonParseError::NoError || !document.isArray()) {
        fault = parse.error != QJsonParseError::NoError ? parse.errorString() : QStringLiteral("not an array");
        return std::nullopt;
    }
    QList<Entry> entries;
    QSet<QPair<int, int>> seen;
    const QJsonArray list = document.array();
    for (int i = 0; i < list.size(); ++i) {
        const QString place = QStringLiteral("[%1]").arg(i);
        if (!list.at(i).isObject()) {
            fault = place + QStringLiteral(": not an object");
            return std::nullopt;
        }
        QString why;
        const std::optional<Entry> entry = EntryReader(list.at(i).toObject(), &why).read();
        if (!entry) {
            fault = place + QLatin1Char('.') + why;
            return std::nullopt;
        }
        if (seen.contains({entry->processor, entry->input})) {
            fault = place + QStringLiteral(".input: processor %1 input %2 has backups already")
                                .arg(entry->processor)
                                .arg(entry->input);
            return std::nullopt;
        }
        seen.insert({entry->processor, entry->input});
        entries << *entry;
    }
    fault.clear();
    return entries;
}

QByteArray BackupTable::listToJson(const QList<Entry> &entries)
{
    QJsonArray list;
    for (const Entry &entry : entries)
        list.append(toJson(entry));
    return QJsonDocument(list).toJson(QJsonDocument::Indented);
}

// The reader's checks, so that a dialog's entries and a file's are held
// to the same rules.
QString BackupTable::problem(const QList<Entry> &entries)
{
    QString error;
    listFromJson(listToJson(entries), &error);
    return error;
}

const BackupTable::Entry *BackupTable::find(int processor, int input) const
{
    for (const Entry &entry : m_entries) {
        if (entry.processor == processor && entry.input == input)
            return &entry;
    }
    return nullptr;
}

QList<BackupTable::Entry> BackupTable::ofProcessor(int processor) const
{
    QList<Entry> found;
    for (const Entry &entry : m_entries) {
        if (entry.processor == processor)
            found << entry;
    }
    return found;
}
