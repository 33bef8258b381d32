#ifndef MODES_H
#define MODES_H

// Output and picture modes as the device record holds them.
namespace Modes {

// outMode2: one DVI output feeds four screens, or two outputs two each.
constexpr int SingleOutput = 4;
constexpr int DualOutput = 2;

// An input's picture mode: 1 and 2 are picture in picture (switched on,
// with its signal chosen), 3 and 4 captions.
enum Picture : int { SinglePicture = 0, PipOn = 1, Pip = 2, CaptionsOn = 3, Captions = 4 };

// The groups the mode box and the switch command name: 0 single picture,
// 1 picture in picture, 2 captions.
enum Group : int { SingleGroup = 0, PipGroup = 1, CaptionGroup = 2 };

constexpr int groupOf(int mode)
{
    return (mode + 1) / 2;
}

} // namespace Modes

#endif // MODES_H
