#include "incardentry.h"

#include <devicelimits.h>
#include <modes.h>

void InCardEntry::applyFactoryDefaults()
{
    mainSignal = 1;
    auxSignal = 0;
    mode = Modes::SinglePicture;
    light = contrast = color = 50;
    captionValues = {};
    // the main picture whole, the inset a quarter of it
    rectA = {0, Limits::PictureWidth, 0, Limits::PictureHeight};
    rectB = {0, Limits::PictureWidth / 2, 0, Limits::PictureHeight / 2};
}
