#ifndef REPLYBUILDER_H
#define REPLYBUILDER_H

#include <QByteArray>

class DeviceModel;

// Encodes the device's replies. Every offset below counts from byte 0 of the
// reply: 20 01 <length hi> <length lo> 04 01 AA 01 <code>, payload from
// offset 9, then AA 20.
class ReplyBuilder
{
public:
    // The reply to a read request, or an empty array for an unknown code.
    static QByteArray read(quint8 code, int parameter, const DeviceModel &model);
    // The 8-byte reply that acknowledges a write.
    static QByteArray acknowledgement();

private:
    static QByteArray envelope(quint8 code, int length);
    static QByteArray status(const DeviceModel &model);
    static QByteArray inputEntries(const DeviceModel &model);
    static QByteArray versions(const DeviceModel &model);
    static QByteArray network(const DeviceModel &model);
    static QByteArray signalFlags(const DeviceModel &model);
    static QByteArray presetWindows(const DeviceModel &model, int preset);
    static QByteArray presetSources(const DeviceModel &model, int preset);
};

#endif // REPLYBUILDER_H
