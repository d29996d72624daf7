// The quads of a frame (sprites, glyphs, fills) waiting to be drawn in
// batches of one look, a draw a batch instead of a draw a quad: the heart
// rain's 131 sprites take one, a text's glyphs two. A quad lies one layer
// above every earlier quad of another look it overlaps, in the layer of
// those of its own; layers are drawn in order, and in a layer each look's
// quads in the order they came, so every pixel ends as drawing them one by
// one leaves it. Outside a frame, and on the replay's straight path, each
// quad is drawn at once, as the game drew before batching.
#pragma once

#include <cstdint>

// What a quad is drawn with: a texture (0 for none; its colour replaced, or
// modulated by the colour), the alpha test, blending and the colour.
struct QuadLook {
    uint32_t glName;
    bool modulate, alphaTest, blend;
    float red, green, blue, alpha;
    bool operator==(const QuadLook& o) const
    {
        return glName == o.glName && modulate == o.modulate && alphaTest == o.alphaTest && blend == o.blend &&
               red == o.red && green == o.green && blue == o.blue && alpha == o.alpha;
    }
};

// s runs from the left edge to the right, t from the top to the bottom.
void QueueQuad(const QuadLook& look, int32_t left, int32_t right, int32_t bottom, int32_t top, float sLeft,
               float sRight, float tTop, float tBottom);
// Draws the waiting quads; a clear and the end of a frame call it first.
void DrawWaitingQuads();
// Whether quads wait now, inside a frame drawn the cheaper or the copied way.
bool QuadsWait();
