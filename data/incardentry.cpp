#include "incardentry.h"

#include <modes.h>

void InCardEntry::applyFactoryDefaults()
{
    mainSignal = 1;
    auxSignal = 0;
    mode = Modes::SinglePicture;
    light = contrast = color = 50;
    captionValues = {};
    rectA = {0, 1920, 0, 1080};
    rectB = {0, 960, 0, 540};
}
