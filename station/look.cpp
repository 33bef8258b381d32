#include "look.h"

int Look::presetOf(int processor) const
{
    for (const Entry &entry : entries) {
        if (entry.processor == processor)
            return entry.preset;
    }
    return -1;
}
