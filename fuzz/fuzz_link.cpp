// libFuzzer target: arbitrary byte streams through the reply assembly and
// the reply parser, with each request code in flight.

#include "linkfuzzentry.h"

#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    feedLinkInput(data, size);
    return 0;
}
