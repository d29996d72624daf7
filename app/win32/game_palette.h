// The fixed palette for 256-colour displays: red in the low three bits of an
// index, green in the next three, blue in the top two, with the window
// system's twelve static colours at their usual places.
#pragma once

#include <cstdint>

struct PaletteColour {
    uint8_t red, green, blue;
};

enum : int32_t { kGamePaletteSize = 256 };

// The colour of an entry 0..255; black outside that range.
PaletteColour GamePaletteColour(int32_t index);
