// Pixel art written as text: a palette maps characters to colours, and each
// picture is rows of those characters, one character per pixel.
//
// Palette lines read "CHAR RRGGBB description". '.' is always transparent:
// it stands for pure black (0,0,0), the game's colour key, and no other
// character may be pure black, or it would vanish. '#' starts a comment and
// is never a pixel. A picture's rows must all be as wide as the first;
// comment and blank lines between them are skipped.
#pragma once

#include <cstdint>
#include <vector>

#include "tools/assetgen/source_text.h"

struct Palette {
    bool defined[128];
    uint8_t colour[128][3];
};

struct PixelArt {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb; // three bytes a pixel, rows top first; (0,0,0) is transparent
};

bool ParsePalette(const SourceText& source, Palette& palette);
bool ParsePixelArt(const SourceText& source, const Palette& palette, PixelArt& art);

bool IsTransparentPixel(const PixelArt& art, int x, int y);
// The picture grown by a whole factor, every pixel a square block.
PixelArt ScalePixelArt(const PixelArt& art, int factor);
bool WritePixelArtPng(const char* path, const PixelArt& art);
