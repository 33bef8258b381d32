// libFuzzer target: arbitrary JSON-RPC messages and OSC datagrams through
// the remote control's request decoders.

#include "remotefuzzentry.h"

#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    feedRemoteInput(data, size);
    return 0;
}
