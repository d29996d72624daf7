// Where the game's text drawing puts each glyph of a text, so the tool can
// check that the game's strings fit and draw previews of them.
//
// The layout is the game's: glyphs `spacing` apart, blanks at the start of a
// line dropped, a word that would pass the maximum width moved to the next
// line, and a word wider than a whole line broken between characters.
#pragma once

#include <string>
#include <vector>

#include "tools/assetgen/font_source.h"

struct PlacedGlyph {
    int code;
    int x;    // left edge, relative to the text's left edge
    int line; // 0 for the first line
};

struct TextLayout {
    std::vector<PlacedGlyph> glyphs;
    int lineCount = 0;
    int widestLine = 0; // pixels from the left edge to the right of the last glyph of the widest line
};

TextLayout LayOutText(const FontSource& font, const std::string& text, int maximumWidth);
// Pixels from the top of the first line to the bottom of the last, outline included.
int TextBlockHeight(const FontSource& font, const TextLayout& layout);
