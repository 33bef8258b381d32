#include "rpccodec.h"

#include <devicelimits.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <utility>

namespace {

using Decoded = RpcCodec::Decoded;

struct MethodName
{
    const char *name;
    RemoteCall::Method method;
};

const MethodName Methods[] = {
    {"status", RemoteCall::Status},          {"presets.list", RemoteCall::PresetsList},
    {"preset.recall", RemoteCall::Recall},   {"preset.next", RemoteCall::Next},
    {"preset.previous", RemoteCall::Previous}, {"preset.windows", RemoteCall::PresetWindows},
    {"window.setSource", RemoteCall::SetSource}, {"inputs.list", RemoteCall::InputsList},
    {"verify", RemoteCall::Verify},          {"subscribe", RemoteCall::Subscribe},
    {"processors.list", RemoteCall::ProcessorsList}, {"looks.list", RemoteCall::LooksList},
    {"look.recall", RemoteCall::LookRecall}, {"look.store", RemoteCall::LookStore},
    {"sequences.list", RemoteCall::SequencesList}, {"sequence.store", RemoteCall::SequenceStore},
    {"sequence.start", RemoteCall::SequenceStart}, {"sequence.pause", RemoteCall::SequencePause},
    {"sequence.resume", RemoteCall::SequenceResume}, {"sequence.stop", RemoteCall::SequenceStop},
    {"journal.query", RemoteCall::JournalQuery},
};

constexpr int MaxSteps = 100;
constexpr int MaxByLength = 128;
constexpr int MaxKindLength = 32;
constexpr int MaxTimeLength = 40;

Decoded failed(Decoded decoded, int code, const QString &message)
{
    decoded.error = code;
    decoded.message = message;
    return decoded;
}

// A whole number within the range, as JSON numbers go.
bool integerIn(const QJsonValue &value, int low, int high, int *out)
{
    if (!value.isDouble())
        return false;
    const double d = value.toDouble();
    if (std::floor(d) != d || d < low || d > high)
        return false;
    *out = int(d);
    return true;
}

bool isName(const QJsonValue &value, int longest)
{
    const QString name = value.toString();
    return value.isString() && !name.trimmed().isEmpty() && name.size() <= longest;
}

// A name of at most longest characters, or a whole number from 1 to most.
QString readNamed(const QJsonValue &value, const QString &what, int most, RemoteCall::Named *out,
                  int longest = RemoteCall::MaxNameLength)
{
    if (isName(value, longest)) {
        out->name = value.toString();
        return QString();
    }
    if (integerIn(value, 1, most, &out->number))
        return QString();
    return QStringLiteral("%1 must be a name of 1 to %2 characters or a whole number from 1 to %3")
        .arg(what)
        .arg(longest)
        .arg(most);
}

QString readProcessor(const QJsonValue &value, RemoteCall::Named *out)
{
    return readNamed(value, QStringLiteral("processor"), RemoteCall::MaxProcessors, out);
}

// The pairs of a look to store: each a processor and its preset.
QString readEntries(const QJsonValue &value, QList<RemoteCall::Entry> *entries)
{
    QString shape = QStringLiteral("presets must be a list of 1 to %1 {\"processor\", \"preset\"} objects")
                              .arg(RemoteCall::MaxProcessors);
    const int size = int(value.toArray().size());
    if (!value.isArray() || size < 1 || size > RemoteCall::MaxProcessors)
        return shape;
    const QJsonArray list = value.toArray();
    for (const QJsonValue &item : list) {
        const QJsonObject pair = item.toObject();
        if (!item.isObject() || pair.size() != 2 || !pair.contains(QStringLiteral("processor")))
            return shape;
        RemoteCall::Entry entry;
        QString problem = readProcessor(pair.value(QStringLiteral("processor")), &entry.processor);
        if (!problem.isEmpty())
            return problem;
        if (!integerIn(pair.value(QStringLiteral("preset")), 1, Limits::Presets, &entry.preset))
            return QStringLiteral("preset must be a whole number from 1 to %1").arg(Limits::Presets);
        entry.preset -= 1;
        entries->append(entry);
    }
    return QString();
}

QStringList required(RemoteCall::Method method)
{
    switch (method) {
    case RemoteCall::Recall:
    case RemoteCall::PresetWindows:
        return {QStringLiteral("preset")};
    case RemoteCall::SetSource:
        return {QStringLiteral("window"), QStringLiteral("input")};
    case RemoteCall::Subscribe:
        return {QStringLiteral("topics")};
    case RemoteCall::LookRecall:
        return {QStringLiteral("look")};
    case RemoteCall::LookStore:
        return {QStringLiteral("name")};
    case RemoteCall::SequenceStore:
        return {QStringLiteral("name"), QStringLiteral("steps")};
    case RemoteCall::SequenceStart:
    case RemoteCall::SequencePause:
    case RemoteCall::SequenceResume:
    case RemoteCall::SequenceStop:
        return {QStringLiteral("sequence")};
    default:
        return {};
    }
}

// What a method may be given beside what it must: the processor it
// addresses, the presets of a look.
QStringList optional(RemoteCall::Method method)
{
    if (method == RemoteCall::LookStore)
        return {QStringLiteral("presets")};
    if (method == RemoteCall::SequenceStore)
        return {QStringLiteral("loop"), QStringLiteral("onFailure")};
    if (method == RemoteCall::JournalQuery)
        return {QStringLiteral("processor"), QStringLiteral("who"), QStringLiteral("by"), QStringLiteral("kind"),
                QStringLiteral("from"), QStringLiteral("to"), QStringLiteral("limit")};
    RemoteCall call;
    call.method = method;
    if (call.stationWide() || method == RemoteCall::Subscribe)
        return {};
    return {QStringLiteral("processor")};
}

QString readTopics(const QJsonValue &topics, QStringList *out)
{
    if (!topics.isArray() || topics.toArray().size() > RpcCodec::MaxTopics)
        return QStringLiteral("topics must be a list of at most 8 names");
    const QJsonArray list = topics.toArray();
    for (const QJsonValue &topic : list) {
        if (!RpcCodec::topics().contains(topic.toString()))
            return QStringLiteral("topics may name only: %1").arg(RpcCodec::topics().join(QStringLiteral(", ")));
        if (!out->contains(topic.toString()))
            *out << topic.toString();
    }
    return QString();
}

// One step of a sequence to store: its members known and of their type,
// their values left to the station to judge.
QString readStep(const QJsonValue &value, int number)
{
    const QString at = QStringLiteral("step %1: ").arg(number);
    if (!value.isObject())
        return at + QStringLiteral("must be an object");
    const QJsonObject step = value.toObject();
    for (auto it = step.begin(); it != step.end(); ++it) {
        if (it.key() == QLatin1String("look")) {
            if (!isName(it.value(), RemoteCall::MaxNameLength))
                return at + QStringLiteral("look must be a name of 1 to %1 characters").arg(RemoteCall::MaxNameLength);
        } else if (it.key() == QLatin1String("processor") || it.key() == QLatin1String("preset")
                   || it.key() == QLatin1String("dwell")) {
            if (!it.value().isDouble())
                return at + QStringLiteral("%1 must be a number").arg(it.key());
        } else {
            return at + QStringLiteral("unknown member \"%1\"").arg(it.key().left(32));
        }
    }
    return QString();
}

// A sequence to store, within bounds: its name, 1 to 100 steps, and
// whether it loops and what it does when a step fails.
QString readDefinition(const QJsonObject &params, QJsonObject *definition)
{
    if (!isName(params.value(QStringLiteral("name")), RemoteCall::MaxSequenceNameLength))
        return QStringLiteral("name must be a name of 1 to %1 characters").arg(RemoteCall::MaxSequenceNameLength);
    const QJsonValue steps = params.value(QStringLiteral("steps"));
    const int count = int(steps.toArray().size());
    if (!steps.isArray() || count < 1 || count > MaxSteps)
        return QStringLiteral("steps must be a list of 1 to %1 steps").arg(MaxSteps);
    for (int i = 0; i < count; ++i) {
        QString problem = readStep(steps.toArray().at(i), i + 1);
        if (!problem.isEmpty())
            return problem;
    }
    if (params.contains(QStringLiteral("loop")) && !params.value(QStringLiteral("loop")).isBool())
        return QStringLiteral("loop must be true or false");
    if (params.contains(QStringLiteral("onFailure")) && !params.value(QStringLiteral("onFailure")).isString())
        return QStringLiteral("onFailure must be \"stop\" or \"skip\"");
    *definition = params;
    return QString();
}

// A time in ISO 8601 with its offset from UTC, taken in UTC; none given
// leaves it open.
QString readTime(const QJsonObject &params, const QString &name, QDateTime *out)
{
    if (!params.contains(name))
        return QString();
    const QString text = params.value(name).toString();
    const QDateTime time = text.size() <= MaxTimeLength ? QDateTime::fromString(text, Qt::ISODateWithMs) : QDateTime();
    if (!time.isValid() || (time.timeSpec() != Qt::UTC && time.timeSpec() != Qt::OffsetFromUTC))
        return QStringLiteral("%1 must be a time in ISO 8601 with its offset, as 2026-03-01T18:00:00.000Z").arg(name);
    *out = time.toUTC();
    return QString();
}

bool isKind(const QString &kind)
{
    return !kind.isEmpty() && kind.size() <= MaxKindLength
        && std::all_of(kind.begin(), kind.end(), [](QChar c) { return c >= QLatin1Char('a') && c <= QLatin1Char('z'); });
}

// The words an entry is picked by: who, by whom, what kind.
QString readJournalWords(const QJsonObject &params, JournalFilter *filter)
{
    static const QStringList whos{QStringLiteral("operator"), QStringLiteral("remote"),  QStringLiteral("schedule"),
                                  QStringLiteral("sequence"), QStringLiteral("watchdog"), QStringLiteral("backup")};
    const QJsonValue who = params.value(QStringLiteral("who"));
    if (!who.isUndefined() && !whos.contains(who.toString()))
        return QStringLiteral("who must be one of: %1").arg(whos.join(QStringLiteral(", ")));
    const QJsonValue by = params.value(QStringLiteral("by"));
    if (!by.isUndefined() && !isName(by, MaxByLength))
        return QStringLiteral("by must be a text of 1 to %1 characters").arg(MaxByLength);
    const QJsonValue kind = params.value(QStringLiteral("kind"));
    if (!kind.isUndefined() && !isKind(kind.toString()))
        return QStringLiteral("kind must be a word of 1 to %1 lower-case letters").arg(MaxKindLength);
    filter->who = who.toString();
    filter->by = by.toString();
    filter->kind = kind.toString();
    return QString();
}

// Which entries of the journal: processor 0 is the station's own.
QString readJournalFilter(const QJsonObject &params, RemoteCall *call)
{
    JournalFilter &filter = call->journal;
    const QJsonValue processor = params.value(QStringLiteral("processor"));
    if (processor.isDouble() && processor.toDouble() == 0)
        filter.processor = JournalFilter::Station;
    else if (!processor.isUndefined() && !readProcessor(processor, &call->processor).isEmpty())
        return QStringLiteral("processor must be 0 (the station), a name of 1 to %1 characters or a whole number "
                              "from 1 to %2").arg(RemoteCall::MaxNameLength).arg(RemoteCall::MaxProcessors);
    QString problem = readJournalWords(params, &filter);
    if (problem.isEmpty())
        problem = readTime(params, QStringLiteral("from"), &filter.from);
    if (problem.isEmpty())
        problem = readTime(params, QStringLiteral("to"), &filter.to);
    if (!problem.isEmpty())
        return problem;
    if (filter.from.isValid() && filter.to.isValid() && filter.from > filter.to)
        return QStringLiteral("from must not come after to");
    if (params.contains(QStringLiteral("limit"))
        && !integerIn(params.value(QStringLiteral("limit")), 1, JournalFilter::MaxLimit, &filter.limit))
        return QStringLiteral("limit must be a whole number from 1 to %1").arg(JournalFilter::MaxLimit);
    return QString();
}

// The params of each method, by name; none but those named.
QString readParams(const QJsonObject &params, RemoteCall *call)
{
    const QStringList must = required(call->method);
    const QStringList may = must + optional(call->method);
    for (auto it = params.begin(); it != params.end(); ++it) {
        if (!may.contains(it.key()))
            return QStringLiteral("unknown parameter \"%1\"").arg(it.key().left(32));
    }
    for (const QString &name : must) {
        if (!params.contains(name))
            return QStringLiteral("missing parameter \"%1\"").arg(name);
    }
    if (params.contains(QStringLiteral("processor")) && call->method != RemoteCall::JournalQuery) {
        QString problem = readProcessor(params.value(QStringLiteral("processor")), &call->processor);
        if (!problem.isEmpty())
            return problem;
    }
    int n = 0;
    switch (call->method) {
    case RemoteCall::Recall:
    case RemoteCall::PresetWindows:
        if (!integerIn(params.value(QStringLiteral("preset")), 1, Limits::Presets, &n))
            return QStringLiteral("preset must be a whole number from 1 to %1").arg(Limits::Presets);
        call->preset = n - 1;
        break;
    case RemoteCall::SetSource:
        if (!integerIn(params.value(QStringLiteral("window")), 1, Limits::Windows, &n))
            return QStringLiteral("window must be a whole number from 1 to %1").arg(Limits::Windows);
        call->window = n - 1;
        if (!integerIn(params.value(QStringLiteral("input")), 0, Limits::LastInputCode, &n))
            return QStringLiteral("input must be a whole number from 0 to %1").arg(Limits::LastInputCode);
        call->input = n;
        break;
    case RemoteCall::Subscribe:
        return readTopics(params.value(QStringLiteral("topics")), &call->topics);
    case RemoteCall::LookRecall:
        return readNamed(params.value(QStringLiteral("look")), QStringLiteral("look"), RemoteCall::MaxLooks,
                         &call->look);
    case RemoteCall::LookStore: {
        const QJsonValue name = params.value(QStringLiteral("name"));
        if (!name.isString() || name.toString().size() > RemoteCall::MaxNameLength)
            return QStringLiteral("name must be a string of at most %1 characters").arg(RemoteCall::MaxNameLength);
        call->name = name.toString();
        if (params.contains(QStringLiteral("presets")))
            return readEntries(params.value(QStringLiteral("presets")), &call->entries);
        break;
    }
    case RemoteCall::SequenceStore:
        return readDefinition(params, &call->definition);
    case RemoteCall::SequenceStart:
    case RemoteCall::SequencePause:
    case RemoteCall::SequenceResume:
    case RemoteCall::SequenceStop:
        return readNamed(params.value(QStringLiteral("sequence")), QStringLiteral("sequence"), RemoteCall::MaxSequences,
                         &call->sequence, RemoteCall::MaxSequenceNameLength);
    case RemoteCall::JournalQuery:
        return readJournalFilter(params, call);
    default:
        break;
    }
    return QString();
}

QByteArray compact(const QJsonObject &object)
{
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}

} // namespace

const QStringList &RpcCodec::topics()
{
    static const QStringList names{QStringLiteral("preset.recalled"), QStringLiteral("link.changed"),
                                   QStringLiteral("marks.changed"), QStringLiteral("signals.changed"),
                                   QStringLiteral("look.recalled"), QStringLiteral("sequence.changed")};
    return names;
}

RpcCodec::Decoded RpcCodec::decode(const QByteArray &message)
{
    Decoded decoded;
    if (message.size() > MaxMessageBytes)
        return failed(decoded, RemoteError::TooLarge, QStringLiteral("a message may hold at most 65536 bytes"));
    // Qt 5 takes bad escapes, raw control characters and numbers such as
    // "7." as JSON: only what RFC 8259 allows reaches Qt's parser.
    if (!nlohmann::json::accept(message.cbegin(), message.cend()))
        return failed(decoded, RemoteError::ParseError, QStringLiteral("not JSON (RFC 8259)"));
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(message, &parse);
    if (parse.error != QJsonParseError::NoError)
        return failed(decoded, RemoteError::ParseError, QStringLiteral("not JSON: %1").arg(parse.errorString()));
    if (!document.isObject())
        return failed(decoded, RemoteError::InvalidRequest, QStringLiteral("a request is one JSON object; batches are not taken"));
    const QJsonObject request = document.object();
    const QJsonValue id = request.value(QStringLiteral("id"));
    if (id.isString() || id.isNull() || (id.isDouble() && std::floor(id.toDouble()) == id.toDouble()))
        decoded.id = id;
    else if (id.isUndefined())
        decoded.notification = true;
    else
        return failed(decoded, RemoteError::InvalidRequest, QStringLiteral("id must be a string, a whole number or null"));
    if (request.value(QStringLiteral("jsonrpc")).toString() != QLatin1String("2.0"))
        return failed(decoded, RemoteError::InvalidRequest, QStringLiteral("jsonrpc must be \"2.0\""));
    const QJsonValue method = request.value(QStringLiteral("method"));
    if (!method.isString())
        return failed(decoded, RemoteError::InvalidRequest, QStringLiteral("method must be a string"));
    const QJsonValue params = request.value(QStringLiteral("params"));
    if (!params.isUndefined() && !params.isObject())
        return failed(decoded, RemoteError::InvalidParams, QStringLiteral("params must be an object of named values"));
    const QString name = method.toString();
    const auto *found = std::find_if(std::begin(Methods), std::end(Methods),
                                     [&name](const MethodName &m) { return name == QLatin1String(m.name); });
    if (found == std::end(Methods))
        return failed(decoded, RemoteError::MethodNotFound, QStringLiteral("no method \"%1\"").arg(name.left(64)));
    decoded.call.method = found->method;
    const QString problem = readParams(params.toObject(), &decoded.call);
    if (!problem.isEmpty())
        return failed(decoded, RemoteError::InvalidParams, problem);
    return decoded;
}

QByteArray RpcCodec::result(const QJsonValue &id, const QJsonValue &result)
{
    return compact({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                    {QStringLiteral("id"), id},
                    {QStringLiteral("result"), result}});
}

QByteArray RpcCodec::error(const QJsonValue &id, int code, const QString &message)
{
    const QJsonObject error{{QStringLiteral("code"), code}, {QStringLiteral("message"), message}};
    return compact({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                    {QStringLiteral("id"), id.isUndefined() ? QJsonValue() : id},
                    {QStringLiteral("error"), error}});
}

QByteArray RpcCodec::notification(const QString &method, const QJsonValue &params)
{
    return compact({{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                    {QStringLiteral("method"), method},
                    {QStringLiteral("params"), params}});
}
