#ifndef WALLFILE_H
#define WALLFILE_H

#include <QByteArray>

class QDataStream;
class WallModel;

// The canvas as operators' files and the presets' stored views keep it.
// Version 1, big-endian, everything in unsigned integers unless noted:
//   u32 magic "RZWC", u16 version, u8 columns, u8 rows,
//   u16 column widths, u16 row heights (must match the wall shown),
//   u8 window count, then the windows bottom to top:
//     u8 number, u8 channel, u8 b3, u16 x, y, width, height on the wall,
//     u16 x, y, width, height in the picture, u8 trim count, then per trim
//     in screen order u8 screen, s16 input x, y, width, height, s16 output
//     x, y, width, height.
class WallFile
{
public:
    static constexpr quint32 Magic = 0x525A5743;
    static constexpr quint16 Version = 1;

    static void write(const WallModel &model, QDataStream &out);
    static QByteArray bytes(const WallModel &model);
    // Replaces the model's windows; on anything wrong or short the model is
    // left empty and false returned.
    static bool read(QDataStream &in, WallModel *model);
};

#endif // WALLFILE_H
