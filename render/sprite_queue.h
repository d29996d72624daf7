// The sprites of a frame, waiting to be drawn in batches of one look (the
// texture, mostly the sprite sheet, the alpha test and blending), a draw a
// batch instead of a draw a sprite: the heart rain's 131 sprites take two.
// A sprite lies one layer above every earlier sprite of another look it
// overlaps, in the layer of those of its own; layers are drawn in order, and
// in a layer each look's sprites in the order they came, so every pixel ends
// as drawing them one by one leaves it.
#pragma once

#include <cstdint>

struct Texture;

// Queues a loaded texture's sprite while a frame is drawn by the cheaper or
// the copied way; otherwise, or when the queue is full, draws at once.
void QueueSprite(const Texture* texture, int32_t x, int32_t y, bool mirrored);
// Draws the waiting sprites; whatever else draws in a frame calls it first.
void DrawWaitingSprites();
