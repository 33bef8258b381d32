#ifndef FRAMEBUILDER_H
#define FRAMEBUILDER_H

#include <QByteArray>
#include <QList>
#include <QVector>

class DeviceData;

// Builds request frames from explicit inputs; no state, no I/O.
//
// A frame is 20 01 <length hi> <length lo> 04 <FE|01> AA 01 <code>, the
// parameters, the data tag for write requests, and AA 20.
class FrameBuilder
{
public:
    // What the wall frame says of the LED wall.
    struct Wall
    {
        int resolution = 0;
        int outMode2 = 0;
        QVector<int> colWidths;
        QVector<int> rowHeights;
    };
    static Wall wallOf(const DeviceData &data);

    // A 16-byte read request; only the preset reads use the parameter.
    static QByteArray readRequest(quint8 code, quint8 param = 0);
    // A write request with the given length field, parameters and tag.
    static QByteArray writeFrame(quint8 code, int lengthField, const QByteArray &params,
                                 const QByteArray &tag);
    // As writeFrame(), with the length field counting the real size.
    static QByteArray sizedWriteFrame(quint8 code, const QByteArray &params, const QByteArray &tag);

    static QByteArray wallFrame(const Wall &wall, const QByteArray &tag);
    // Leaves the entry's current mode group, then enters the wanted one.
    static QList<QByteArray> pictureModeFrames(int entry, int currentMode, int wantedGroup,
                                               const QByteArray &tag);
    // The three frames that write one preset.
    static QList<QByteArray> presetFrames(int preset, const QByteArray &windows,
                                          const QByteArray &layers, const QByteArray &channels,
                                          const QByteArray &tag);
    // 0x1A then 0x1B for each of the 16 presets.
    static QList<QByteArray> presetReads();
    // The input card entries, then the device status.
    static QList<QByteArray> connectionReads();

    // Whether the host's copy of the device's data depends on the request
    // reaching the device: every write, and the reads of a full read.
    static bool concernsHostData(const QByteArray &frame);
    // The preset a recall frame asks for; -1 for any other frame.
    static int presetRecalledBy(const QByteArray &frame);
    // The preset a write changes, or -1.
    static int presetWrittenBy(const QByteArray &frame);

private:
    static QByteArray header(quint8 kind, quint8 code, int lengthField);
};

#endif // FRAMEBUILDER_H
