#ifndef COMMANDBUILDER_H
#define COMMANDBUILDER_H

#include "datataggenerator.h"
#include "framebuilder.h"
#include "linkrequest.h"

#include <commandtype.h>

#include <QByteArray>
#include <QList>
#include <QString>

// The command catalogue: turns a posted request into the request frames
// to queue. Renews the data tag for the commands that carry a fresh one.
class CommandBuilder
{
public:
    // The link settings a connection opens with.
    struct LinkSettings
    {
        int type = 0; // 0 TCP, otherwise serial
        QString ip;
        int port = 0;
        QString portName;
    };

    // How long the device may take to carry out a frame of the command
    // before it can answer: the signal switches and the picture rectangles
    // take seconds, and a frame of theirs is not sent again sooner.
    static int actingTimeMs(int type);
    // How long one frame of the command may wait for its answer: the time
    // the device takes to carry it out, a few seconds for most. A batch's
    // budget does not stretch it.
    static int frameTimeoutMs(int type);
    // A lost acknowledgement of the command is settled by reading back the
    // input entries, which show what its frames set: it goes once, for the
    // whole time the device takes.
    static bool readBackOnLoss(int type);
    // The device may act on the command twice: after the network settings
    // it takes a new address, so a second frame would go nowhere or land
    // on a device that has changed under it.
    static bool sentOnce(int type);

    // The command changes or recalls the preset its request names.
    static bool namesPreset(int type);

    // checkSum is the worker's current data tag, renewed here.
    explicit CommandBuilder(QByteArray &checkSum);

    // Empty for a type without frames.
    QList<QByteArray> build(const LinkRequest &request);

    // A write frame of fixed layout, from the command table.
    struct FixedWrite;

private:
    static const FixedWrite *fixedWrite(int type);
    static const QByteArray *payloadOf(const FixedWrite &write, const LinkRequest &request);

    QByteArray buildFixedWrite(const FixedWrite &write, const LinkRequest &request);
    QList<QByteArray> buildPictureMode(const LinkRequest &request);
    QList<QByteArray> buildRectangles(const LinkRequest &request);
    QList<QByteArray> buildAllPresets(const LinkRequest &request);
    QList<QByteArray> buildReads(int type);
    const QByteArray &freshTag();

    QByteArray &m_checkSum;
    DataTagGenerator m_tags;
};

#endif // COMMANDBUILDER_H
