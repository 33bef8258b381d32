#include "journalentry.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<JournalEntry::Who, const char *>, 6> WhoKeys{{
    {JournalEntry::Who::Operator, "operator"},
    {JournalEntry::Who::Remote, "remote"},
    {JournalEntry::Who::Schedule, "schedule"},
    {JournalEntry::Who::Sequence, "sequence"},
    {JournalEntry::Who::Watchdog, "watchdog"},
    {JournalEntry::Who::Backup, "backup"},
}};

constexpr std::array<std::pair<JournalEntry::Result, const char *>, 4> ResultKeys{{
    {JournalEntry::Result::Pending, "pending"},
    {JournalEntry::Result::Confirmed, "confirmed"},
    {JournalEntry::Result::Failed, "failed"},
    {JournalEntry::Result::GivenUp, "given-up"},
}};

template<typename Enum, std::size_t N>
QString keyOf(const std::array<std::pair<Enum, const char *>, N> &keys, Enum value)
{
    for (const auto &[each, key] : keys) {
        if (each == value)
            return QString::fromLatin1(key);
    }
    return {};
}

template<typename Enum, std::size_t N>
std::optional<Enum> valueOf(const std::array<std::pair<Enum, const char *>, N> &keys, const QString &key)
{
    for (const auto &[each, text] : keys) {
        if (key == QLatin1String(text))
            return each;
    }
    return std::nullopt;
}

QString cut(const QString &text, int length)
{
    return text.size() > length ? text.left(length) : text;
}

} // namespace

JournalEntry JournalEntry::bounded() const
{
    JournalEntry entry = *this;
    entry.time = QDateTime::fromMSecsSinceEpoch(time.toMSecsSinceEpoch(), Qt::UTC);
    entry.whoDetail = cut(whoDetail, MaxText);
    if (processor < 0 || processor > MaxProcessor)
        entry.processor = 0;
    entry.processorName = cut(processorName, MaxText);
    entry.kind = cut(kind, MaxKind);
    entry.what = cut(what, MaxText);
    entry.detail = cut(detail, MaxText);
    return entry;
}

QString JournalEntry::key(Who who)
{
    return keyOf(WhoKeys, who);
}

QString JournalEntry::key(Result result)
{
    return keyOf(ResultKeys, result);
}

std::optional<JournalEntry::Who> JournalEntry::whoFromKey(const QString &key)
{
    return valueOf(WhoKeys, key);
}

std::optional<JournalEntry::Result> JournalEntry::resultFromKey(const QString &key)
{
    return valueOf(ResultKeys, key);
}

QStringList JournalEntry::kinds()
{
    return {QStringLiteral("recall"), QStringLiteral("look"),       QStringLiteral("write"),
            QStringLiteral("take"),   QStringLiteral("import"),     QStringLiteral("initialise"),
            QStringLiteral("backup"), QStringLiteral("source"),     QStringLiteral("schedule"),
            QStringLiteral("sequence"), QStringLiteral("missed"),     QStringLiteral("pin"),
            QStringLiteral("journal")};
}
