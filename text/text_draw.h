// Text drawing with the renderer's font: an outline pass, then the face pass
// on top; lines break at line feeds and wrap at words to a maximum width.
#pragma once

#include <cstdint>

#include "text/string.h"

struct TextColour {
    float red, green, blue, alpha;
};

// x is the left edge and y the top edge of the first line.
void DrawText(const String& text, int32_t x, int32_t y, int32_t maximumWidth, TextColour textColour,
              TextColour outlineColour);
// One pass in one colour; y is the bottom edge of the first line's cells.
// Inside a frame its glyphs wait to be drawn with others of their page
// (render/quad_queue.h).
void DrawTextPass(const String& text, int32_t x, int32_t y, int32_t maximumWidth, bool outline, TextColour colour);
