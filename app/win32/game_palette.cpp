#include "app/win32/game_palette.h"

namespace {
// Levels of the three-bit red and green and the two-bit blue.
const uint8_t kRedGreenLevels[8] = {0, 63, 104, 139, 171, 200, 229, 255};
const uint8_t kBlueLevels[4] = {0, 116, 191, 255};

struct StaticColour {
    int32_t index;
    PaletteColour colour;
};

// The window system keeps these colours for itself on a 256-colour display.
const StaticColour kStaticColours[] = {
    {3, {128, 0, 0}},       {24, {0, 128, 0}},      {27, {128, 128, 0}},    {64, {0, 0, 128}},
    {67, {128, 0, 128}},    {88, {0, 128, 128}},    {91, {128, 128, 128}},  {164, {160, 160, 164}},
    {173, {192, 192, 192}}, {181, {192, 220, 192}}, {236, {166, 202, 240}}, {247, {255, 251, 240}},
};
} // namespace

PaletteColour GamePaletteColour(int32_t index)
{
    if (index < 0 || index >= kGamePaletteSize)
        return PaletteColour{0, 0, 0};
    for (const StaticColour& fixed : kStaticColours)
        if (fixed.index == index)
            return fixed.colour;
    return PaletteColour{kRedGreenLevels[index % 8], kRedGreenLevels[(index / 8) % 8], kBlueLevels[index / 64]};
}
