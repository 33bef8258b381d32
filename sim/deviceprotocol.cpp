#include "deviceprotocol.h"

#include "devicemodel.h"
#include "framebytes.h"
#include "replybuilder.h"
#include "simlog.h"
#include "writehandler.h"

#include <protocol.h>

using FrameBytes::byteAt;

QByteArray DeviceProtocol::answer(const QByteArray &request, DeviceModel *model)
{
    const quint8 code = byteAt(request, Protocol::CodeOffset);
    if (!isWrite(request)) {
        QByteArray reply = ReplyBuilder::read(code, byteAt(request, Protocol::ParamOffset), *model);
        if (!reply.isEmpty())
            return reply;
        qCWarning(lcSim, "unknown read command 0x%02x acknowledged", code);
        return ReplyBuilder::acknowledgement();
    }
    if (!WriteHandler::apply(request, model))
        qCWarning(lcSim, "write command 0x%02x not applied (unknown, too short or out of range)", code);
    model->tag = tagOf(request);
    return ReplyBuilder::acknowledgement();
}

bool DeviceProtocol::isWrite(const QByteArray &request)
{
    return byteAt(request, 5) == Protocol::WriteKind;
}

QByteArray DeviceProtocol::tagOf(const QByteArray &request)
{
    return request.mid(request.size() - Protocol::TrailerSize - Protocol::TagSize, Protocol::TagSize);
}
