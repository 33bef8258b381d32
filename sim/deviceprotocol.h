#ifndef DEVICEPROTOCOL_H
#define DEVICEPROTOCOL_H

#include <QByteArray>

class DeviceModel;

// The device's side of the link: one complete request in, the reply bytes
// out. Read requests are answered from the model; write requests change
// it, leave their data tag in it and are acknowledged.
class DeviceProtocol
{
public:
    static QByteArray answer(const QByteArray &request, DeviceModel *model);
    static bool isWrite(const QByteArray &request);
    static QByteArray tagOf(const QByteArray &request);
};

#endif // DEVICEPROTOCOL_H
