// Quads of one look sent to the GL together. The corners are kept as x,
// y, s, t floats side by side, as the browser's GL emulation copies arrays
// kept apart float by float, and go out in one client-array draw; a lone
// quad goes out between glBegin and glEnd, which costs the desktop's GL less.
#pragma once

#include <cstdint>

struct QuadBatch {
    static constexpr int32_t kMostQuads = 256;
    int32_t quads = 0;
    float corners[kMostQuads * 16];

    // s runs from the left edge to the right, t from the top to the bottom.
    void Add(int32_t left, int32_t right, int32_t bottom, int32_t top, float sLeft, float sRight, float tTop,
             float tBottom);
    // Draws the quads with the GL's bound texture and state, and empties the
    // batch.
    void Draw();
};
