// The game's pixel font as text, and the page it becomes.
//
// The source starts with four metric lines ("height 8", "spacing 1",
// "lineGap 1", "reserved 0"), then one block per glyph: a header line
// "glyph A" (any one printable character), "glyph space", "glyph tab" or
// "glyph code 200", followed by exactly `height` rows of '.' (empty) and
// '#' (ink), all of the glyph's width. Between blocks, blank lines and lines
// starting with '#' are comments. Tab, space and every printable ASCII
// character 33..126 must be given.
//
// The page packs every glyph cell into one image, 2 pixels apart and 2 from
// the edges, so each cell grown by one pixel for the outline stays clear of
// its neighbours. Image sides are powers of two.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/source_text.h"

struct GlyphBitmap {
    bool defined = false;
    int width = 0;
    std::vector<uint8_t> ink; // width x height, 1 where the glyph has ink
};

struct FontSource {
    int height = 0, spacing = 0, lineGap = 0, reserved = 0;
    GlyphBitmap glyphs[256];
};

struct GlyphCell {
    int x = 0, y = 0, width = 0; // top-left corner in the page images
};

struct FontPage {
    int imageWidth = 0, imageHeight = 0;
    GlyphCell cells[256];         // meaningful where the source defines the glyph
    std::vector<uint8_t> face;    // one byte of coverage a pixel, rows top first
    std::vector<uint8_t> outline; // the face dilated by one pixel in every direction
};

bool ParseFontSource(const SourceText& source, FontSource& font);
FontPage LayOutFontPage(const FontSource& font);

// The four descriptor lines, and the page file: line n describes code n - 1.
std::string FontDescriptorText(const FontSource& font);
std::string FontPageText(const FontSource& font, const FontPage& page);
