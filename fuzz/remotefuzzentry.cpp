#include "remotefuzzentry.h"

#include <oscmessage.h>
#include <rpccodec.h>

#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool documented(int code)
{
    using namespace RemoteError;
    for (int known : {ParseError, InvalidRequest, MethodNotFound, InvalidParams, TooLarge}) {
        if (code == known)
            return true;
    }
    return false;
}

bool taken(const RemoteCall &call, int error)
{
    if (error != 0) {
        check(documented(error));
        return false;
    }
    check(call.preset >= -1 && call.preset < 16);
    check(call.window >= -1 && call.window < 64);
    check(call.input >= -1 && call.input <= 223);
    check(call.topics.size() <= RpcCodec::MaxTopics);
    if (call.method == RemoteCall::Recall || call.method == RemoteCall::PresetWindows)
        check(call.preset >= 0);
    if (call.method == RemoteCall::SetSource)
        check(call.window >= 0 && call.input >= 0);
    return true;
}

} // namespace

bool feedRemoteInput(const std::uint8_t *data, std::size_t size)
{
    if (size == 0)
        return false;
    const QByteArray message(reinterpret_cast<const char *>(data + 1), int(size - 1));
    if (data[0] % 2 == 0) {
        const RpcCodec::Decoded decoded = RpcCodec::decode(message);
        return taken(decoded.call, decoded.error);
    }
    const OscMessage::Decoded decoded = OscMessage::decode(message);
    check(decoded.replyPort >= 0 && decoded.replyPort <= 65535);
    if (decoded.ignored) {
        check(decoded.error == 0);
        return false;
    }
    return taken(decoded.call, decoded.error);
}
