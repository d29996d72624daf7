// How the game's texel formats reach the GL: the wrap modes and the upload of
// one texture's pixels. The desktop GL keeps the sized formats; WebGL takes
// only unsized ones and samples an alpha texture as black, so there an alpha
// mask goes up as white luminance with that alpha.
#pragma once

#include <cstdint>

#include "render/texture.h"

// The wrap mode along a side of the given length: GL_CLAMP or GL_REPEAT. WebGL
// has no GL_CLAMP and draws a side that is not a power of two only when
// clamped, so there GL_CLAMP_TO_EDGE stands in for both; the game's quads
// never reach past a texture's edge, so the picture is the same.
int32_t GlWrapMode(bool clamp, int32_t length);
// glTexImage2D of level 0 into the bound texture; `pixels` has the format's
// bytes per pixel, rows tightly packed.
void UploadTexels(const uint8_t* pixels, TexelFormat format, int32_t width, int32_t height);
// glTexSubImage2D of RGBA pixels at (x, y) in level 0 of the bound texture,
// an Rgba one.
void UploadRgbaTexelsAt(const uint8_t* rgba, int32_t x, int32_t y, int32_t width, int32_t height);
