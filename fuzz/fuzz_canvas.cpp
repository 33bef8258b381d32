// libFuzzer target: arbitrary canvas data through the canvas file reader.

#include "canvasfuzzentry.h"

#include <QLoggingCategory>

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    QLoggingCategory::setFilterRules(QStringLiteral("rz5300.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    feedCanvasInput(data, size);
    return 0;
}
