#include "oscmessage.h"

#include <devicelimits.h>

#include <lo/lo.h>

#include <QStringList>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

namespace {

using Decoded = OscMessage::Decoded;

struct Address
{
    const char *path;
    RemoteCall::Method method;
    const char *types; // liblo's, without the comma
};

const Address Addresses[] = {
    {"/rz5300/preset/recall", RemoteCall::Recall, "i"},
    {"/rz5300/preset/recall", RemoteCall::Recall, "ii"}, // processor, preset
    {"/rz5300/look/recall", RemoteCall::LookRecall, "i"},
    {"/rz5300/preset/next", RemoteCall::Next, ""},
    {"/rz5300/preset/previous", RemoteCall::Previous, ""},
    {"/rz5300/window/source", RemoteCall::SetSource, "ii"},
    {"/rz5300/status", RemoteCall::Status, ""},
    {"/rz5300/status", RemoteCall::Status, "i"}, // the reply port
    {"/rz5300/sequence/start", RemoteCall::SequenceStart, "i"},
    {"/rz5300/sequence/start", RemoteCall::SequenceStart, "s"},
    {"/rz5300/sequence/pause", RemoteCall::SequencePause, "i"},
    {"/rz5300/sequence/pause", RemoteCall::SequencePause, "s"},
    {"/rz5300/sequence/resume", RemoteCall::SequenceResume, "i"},
    {"/rz5300/sequence/resume", RemoteCall::SequenceResume, "s"},
    {"/rz5300/sequence/stop", RemoteCall::SequenceStop, "i"},
    {"/rz5300/sequence/stop", RemoteCall::SequenceStop, "s"},
};

Decoded failed(int code, const QString &message)
{
    Decoded decoded;
    decoded.error = code;
    decoded.message = message;
    return decoded;
}

struct MessageFree
{
    void operator()(lo_message message) const { lo_message_free(message); }
};
using Message = std::unique_ptr<std::remove_pointer_t<lo_message>, MessageFree>;

// liblo lays 32-bit arguments out on 4-byte boundaries, less than its
// union's alignment: they are copied out, not read through the union.
qint32 intArg(const lo_arg *arg)
{
    qint32 value = 0;
    std::memcpy(&value, arg, sizeof value);
    return value;
}

QByteArray serialised(lo_message message, const char *path)
{
    size_t size = 0;
    void *bytes = lo_message_serialise(message, path, nullptr, &size);
    QByteArray out(static_cast<const char *>(bytes), int(size));
    std::free(bytes);
    return out;
}

// A sequence by its number from 1 or its name: UTF-8, not blank, not
// over the names' length.
QString readSequence(char type, const lo_arg *arg, RemoteCall::Named *out)
{
    if (type == 'i') {
        out->number = intArg(arg);
        if (out->number >= 1 && out->number <= RemoteCall::MaxSequences)
            return QString();
        return QStringLiteral("sequence must be from 1 to %1").arg(RemoteCall::MaxSequences);
    }
    const QByteArray bytes(&arg->s);
    const QString name = QString::fromUtf8(bytes);
    if (name.toUtf8() == bytes && !name.trimmed().isEmpty() && name.size() <= RemoteCall::MaxSequenceNameLength) {
        out->name = name;
        return QString();
    }
    return QStringLiteral("sequence must be a name of 1 to %1 characters (UTF-8)").arg(RemoteCall::MaxSequenceNameLength);
}

bool isReply(const char *path)
{
    for (const char *reply : {OscMessage::CurrentPreset, OscMessage::Link, OscMessage::Error}) {
        if (std::strcmp(path, reply) == 0)
            return true;
    }
    return false;
}

} // namespace

OscMessage::Decoded OscMessage::decode(const QByteArray &datagram)
{
    if (datagram.size() > MaxDatagramBytes)
        return failed(RemoteError::TooLarge, QStringLiteral("a message may hold at most 1024 bytes"));
    if (datagram.startsWith("#bundle"))
        return failed(RemoteError::InvalidRequest, QStringLiteral("bundles are not taken"));
    // liblo checks the padding, the type tags and the arguments' sizes.
    QByteArray bytes = datagram;
    int result = 0;
    const Message message(lo_message_deserialise(bytes.data(), size_t(bytes.size()), &result));
    if (!message)
        return failed(RemoteError::ParseError, QStringLiteral("not an OSC message"));
    const char *path = lo_get_path(bytes.data(), bytes.size());
    if (path && isReply(path)) {
        Decoded ignored;
        ignored.ignored = true;
        return ignored;
    }
    const char *types = lo_message_get_types(message.get());
    lo_arg **argv = lo_message_get_argv(message.get());
    // An address may take more than one list of arguments.
    const Address *address = nullptr;
    QStringList expected;
    for (const Address &a : Addresses) {
        if (!path || std::strcmp(path, a.path) != 0)
            continue;
        expected << QLatin1Char(',') + QLatin1String(a.types);
        if (std::strcmp(types, a.types) == 0)
            address = &a;
    }
    if (expected.isEmpty())
        return failed(RemoteError::MethodNotFound, QStringLiteral("no such address"));
    if (!address)
        return failed(RemoteError::InvalidParams,
                      QStringLiteral("type tags must be \"%1\"").arg(expected.join(QStringLiteral("\" or \""))));
    Decoded decoded;
    decoded.call.method = address->method;
    // With two arguments, the first names the processor.
    const bool named = address->method == RemoteCall::Recall && std::strlen(types) == 2;
    if (named) {
        if (intArg(argv[0]) < 1 || intArg(argv[0]) > RemoteCall::MaxProcessors)
            return failed(RemoteError::InvalidParams,
                          QStringLiteral("processor must be from 1 to %1").arg(RemoteCall::MaxProcessors));
        decoded.call.processor.number = intArg(argv[0]);
        ++argv;
    }
    switch (address->method) {
    case RemoteCall::Status:
        if (*types == '\0')
            break;
        if (intArg(argv[0]) < 1 || intArg(argv[0]) > 65535)
            return failed(RemoteError::InvalidParams, QStringLiteral("the reply port must be from 1 to 65535"));
        decoded.replyPort = intArg(argv[0]);
        break;
    case RemoteCall::Recall:
        if (intArg(argv[0]) < 1 || intArg(argv[0]) > Limits::Presets)
            return failed(RemoteError::InvalidParams, QStringLiteral("preset must be from 1 to %1").arg(Limits::Presets));
        decoded.call.preset = intArg(argv[0]) - 1;
        break;
    case RemoteCall::SetSource:
        if (intArg(argv[0]) < 1 || intArg(argv[0]) > Limits::Windows)
            return failed(RemoteError::InvalidParams, QStringLiteral("window must be from 1 to %1").arg(Limits::Windows));
        if (intArg(argv[1]) < 0 || intArg(argv[1]) > Limits::LastInputCode)
            return failed(RemoteError::InvalidParams,
                          QStringLiteral("input must be from 0 to %1").arg(Limits::LastInputCode));
        decoded.call.window = intArg(argv[0]) - 1;
        decoded.call.input = intArg(argv[1]);
        break;
    case RemoteCall::LookRecall:
        if (intArg(argv[0]) < 1 || intArg(argv[0]) > RemoteCall::MaxLooks)
            return failed(RemoteError::InvalidParams, QStringLiteral("look must be from 1 to %1").arg(RemoteCall::MaxLooks));
        decoded.call.look.number = intArg(argv[0]);
        break;
    case RemoteCall::SequenceStart:
    case RemoteCall::SequencePause:
    case RemoteCall::SequenceResume:
    case RemoteCall::SequenceStop: {
        const QString problem = readSequence(types[0], argv[0], &decoded.call.sequence);
        if (!problem.isEmpty())
            return failed(RemoteError::InvalidParams, problem);
        break;
    }
    default:
        break;
    }
    return decoded;
}

QByteArray OscMessage::ints(const char *path, const QList<int> &values)
{
    const Message message(lo_message_new());
    for (int value : values)
        lo_message_add_int32(message.get(), value);
    return serialised(message.get(), path);
}

QByteArray OscMessage::error(int code, const QString &text)
{
    const Message message(lo_message_new());
    lo_message_add_int32(message.get(), code);
    lo_message_add_string(message.get(), text.toUtf8().constData());
    return serialised(message.get(), Error);
}
