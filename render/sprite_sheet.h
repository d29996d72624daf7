// The sprite sheet: one 256x256 texture that holds a copy of every small
// image (64 pixels a side at most), packed in rows as the images load, so
// that the sprites of a frame share one texture and go to the GL in one draw
// however many pictures they show. An image that no longer fits keeps only
// its own texture.
#pragma once

#include <cstdint>

struct Texture;

// Makes an empty sheet in the current GL context, forgetting any other; a
// GL whose largest texture side is below the sheet's gets none.
void MakeSpriteSheet(int32_t mostTextureSide);
// Copies the image's RGBA pixels, top row first, into the sheet and notes
// where in the texture; false, the texture untouched, when it does not fit.
bool PlaceInSpriteSheet(const uint8_t* rgba, Texture& texture);
// Deletes the sheet; run while its context is still current.
void DeleteSpriteSheet();
