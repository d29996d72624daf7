// Enlarged previews of the generated art, for a person to look at: a sheet
// of every picture and mock-ups of the title, play and outcome screens with
// the game's texts laid out in the game's font.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/font_source.h"
#include "tools/assetgen/pixel_art.h"

struct NamedArt {
    std::string name; // the output file name without folder and extension
    PixelArt art;
};

bool WritePreviews(const std::string& folder, const std::vector<NamedArt>& images, const FontSource& font, int scale);
