#include "inputentry.h"

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
    rectA = {0, 1920, 0, 1080};
    rectB = {0, 960, 0, 540};
}
