#ifndef RESOLUTION_H
#define RESOLUTION_H

// The output resolutions the device offers, in the order the physical
// screen dialog lists them: the code the device takes, the text shown, and
// the largest column width and row height of a wall at that resolution.
struct Resolution
{
    int code;
    const char *text;
    int width;
    int height;

    static constexpr int Count = 8;
    static constexpr int FactoryCode = 6; // 1920x1080, the factory setting
    static const Resolution *byCode(int code);
};

inline constexpr Resolution Resolutions[Resolution::Count] = {
    {1, "1440x1440@60Hz", 1440, 1440},  {6, "1920x1080@60Hz", 1920, 1080},
    {7, "2560x816@60Hz", 2560, 816},    {8, "2880x800@60Hz", 2880, 800},
    {9, "3072x720@60Hz", 3072, 720},    {10, "3600x600@60Hz", 3660, 600},
    {11, "1200x1600@60Hz", 1200, 1600}, {12, "1600x1344@60Hz", 1600, 1344},
};

// Null for a code the device does not know.
inline const Resolution *Resolution::byCode(int code)
{
    for (const Resolution &resolution : Resolutions) {
        if (resolution.code == code)
            return &resolution;
    }
    return nullptr;
}

#endif // RESOLUTION_H
