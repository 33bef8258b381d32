#ifndef COMMANDBUILDER_H
#define COMMANDBUILDER_H

#include "datataggenerator.h"

#include <commandtype.h>
#include "framebuilder.h"

#include <QByteArray>
#include <QList>

// The command catalogue: turns a posted command type and the payload the
// caller staged into the request frames to queue. Renews the data tag for
// the commands that carry a fresh one.
class CommandBuilder
{
public:

    // What the caller staged for one command, copied when it was posted,
    // so that the frames carry what the caller meant whatever it stages
    // next.
    struct Staging
    {
        int index = 0;
        QByteArray sendBuf;
        QByteArray sendBuf2;
        QList<QByteArray> allDataList;
        QList<QByteArray> inDataList;
        QList<QByteArray> chDataList;
        QList<int> presetList; // the presets the three lists describe; empty: 0, 1, 2 ...
        int curModel = 0;
        int entryMode = 0; // current picture mode of entry index
        FrameBuilder::Wall wall;
    };

    // The commands the device takes long to carry out, or that move a
    // whole data set: their frames are sent again only when the wait for
    // the whole command has run out.
    static bool isLong(int type);

    // checkSum is the worker's current data tag, renewed here.
    explicit CommandBuilder(QByteArray &checkSum);

    // Empty for a type without frames.
    QList<QByteArray> build(int type, const Staging &staging);

    // A write frame of fixed layout, from the command table.
    struct FixedWrite;

private:
    static const FixedWrite *fixedWrite(int type);
    static const QByteArray *payloadOf(const FixedWrite &write, const Staging &staging);

    QByteArray buildFixedWrite(const FixedWrite &write, const Staging &staging);
    QList<QByteArray> buildPictureMode(const Staging &staging);
    QList<QByteArray> buildRectangles(const Staging &staging);
    QList<QByteArray> buildAllPresets(const Staging &staging);
    QList<QByteArray> buildReads(int type);
    const QByteArray &freshTag();

    QByteArray &m_checkSum;
    DataTagGenerator m_tags;
};

#endif // COMMANDBUILDER_H
