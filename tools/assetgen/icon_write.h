// The game's icon as files: a Windows icon file (an ICONDIR, one entry per
// image, then the images), PNG pictures, and a C++ source.
// In the icon file, images up to 48 pixels are stored as 32-bit bitmaps with an AND
// mask, which every Windows version reads; the 256-pixel image is stored as
// a PNG, as Windows expects for that size. Transparent pixels of the art
// become alpha 0 and set the mask.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/pixel_art.h"

// An icon picture as an RGBA PNG, its transparent pixels alpha 0: for
// desktops' icon themes and web pages.
bool WriteIconPng(const std::string& path, const PixelArt& picture);
// Every picture must be square, 1 to 256 pixels; at most 16 pictures.
bool WriteIconFile(const std::string& path, const std::vector<PixelArt>& pictures);
// Writes a C++ source defining `const uint32_t kGameIcon[]`: the picture's
// pixels as 0xAARRGGBB, rows top first, transparent pixels alpha 0, for a
// program that carries its icon inside itself (app/sdl/game_icon.h).
bool WriteIconSource(const std::string& path, const PixelArt& picture);
