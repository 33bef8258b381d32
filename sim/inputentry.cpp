#include "inputentry.h"

#include <devicelimits.h>
#include <modes.h>

void InputEntry::fit(quint8 type, const CardVersion &cardVersion)
{
    present = true;
    cardType = type;
    version = cardVersion;
    applyFactoryDefaults();
}

void InputEntry::applyFactoryDefaults()
{
    mainSignal = 1;
    auxSignal = 0;
    mode = Modes::SinglePicture;
    light = 50;
    contrast = 50;
    colour = 50;
    captions = {};
    // the main picture whole, the inset a quarter of it
    rectA = {0, Limits::PictureWidth, 0, Limits::PictureHeight};
    rectB = {0, Limits::PictureWidth / 2, 0, Limits::PictureHeight / 2};
}
